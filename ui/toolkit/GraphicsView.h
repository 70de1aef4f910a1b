#pragma once
// The view of the menu's scene: the scene always fills the view's smaller side, centred in the
// larger one.
#include <QGraphicsView>

namespace OX
{

class GraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit GraphicsView(QGraphicsScene* scene, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace OX
