#pragma once
// Holds a content widget centred over its parent and keeps the parent's size as the parent is
// resized. It needs a parent: constructed without one it warns and stays an empty, unattached
// widget.
#include <QPointer>
#include <QWidget>

namespace OX
{

class OverlayWidget : public QWidget
{
    Q_OBJECT
public:
    OverlayWidget(QWidget* content, QWidget* parent);
    ~OverlayWidget() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* content() const { return m_content; }

private:
    QPointer<QWidget> m_content;
};

} // namespace OX
