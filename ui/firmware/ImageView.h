#pragma once
// A picture label of the firmware wizard: shows its picture fitted into its own size with the
// picture's aspect ratio kept, and asks the layout for the height that follows its width.
#include <QLabel>
#include <QPixmap>

namespace OX
{

class ImageView : public QLabel
{
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);

    // The stored picture fitted into the current size (smooth, aspect ratio kept).
    QPixmap scaledPixmap() const;

    QSize sizeHint() const override;
    // Picture height x width / picture width, truncated and kept within 0 and the largest widget
    // height; without a picture the current height.
    int heightForWidth(int width) const override;

public slots:
    // Stores the picture unscaled and shows it fitted into the current size.
    void setPixmap(const QPixmap& pixmap);
    void resizeEvent(QResizeEvent* event) override;

private:
    QPixmap m_pixmap;
};

} // namespace OX
