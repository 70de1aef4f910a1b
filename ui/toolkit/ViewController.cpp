#include "ui/toolkit/ViewController.h"

#include "ui/toolkit/StyledBackground.h"
#include "ui/toolkit/ViewControllerDelegate.h"

namespace OX
{

ViewController::ViewController(QWidget* parent)
    : QWidget(parent)
{
}

bool ViewController::activateFirst()
{
    return setActive(objectName());
}

QString ViewController::getFirstIdentifier() const
{
    return objectName();
}

bool ViewController::activateLast()
{
    return setActive(objectName());
}

QString ViewController::getLastIdentifier() const
{
    return objectName();
}

bool ViewController::setActive(const QString& identifier)
{
    if (delegate) {
        delegate->viewWillAppear(identifier);
        delegate->viewDidAppear(identifier);
    }
    return true;
}

QString ViewController::getActiveIdentifier() const
{
    return objectName();
}

void ViewController::setEnabled(const QString&, bool) { }

bool ViewController::isEnabled(const QString&) const
{
    return true;
}

void ViewController::updateWithHeadset(Headset*, HeadsetChangeMask) { }

void ViewController::retranslate() { }

void ViewController::paintEvent(QPaintEvent* event)
{
    drawStyledBackground(this);
    QWidget::paintEvent(event);
}

} // namespace OX
