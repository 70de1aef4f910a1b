#include "ui/toolkit/OverlayWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QtDebug>

namespace OX
{

namespace
{
constexpr int StretchFactor = 1;
} // namespace

OverlayWidget::OverlayWidget(QWidget* content, QWidget* parent)
    : QWidget(parent)
    , m_content(content)
{
    if (!parent) {
        // There is nothing to lie over: the content is left where it was.
        qWarning() << "OX::OverlayWidget needs a parent widget; the overlay stays empty";
        return;
    }
    auto* label = new QLabel(QStringLiteral("ALMA"), this);
    auto* layout = new QHBoxLayout(this);
    layout->addStretch(StretchFactor);
    if (content)
        layout->addWidget(content); // re-parents it to the overlay
    layout->addWidget(label);
    layout->addStretch(StretchFactor);
    parent->installEventFilter(this);
    resize(parent->size());
}

OverlayWidget::~OverlayWidget() = default;

bool OverlayWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        resize(static_cast<QResizeEvent*>(event)->size());
    return false;
}

} // namespace OX
