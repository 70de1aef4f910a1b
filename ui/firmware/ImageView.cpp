#include "ui/firmware/ImageView.h"

namespace OX
{

ImageView::ImageView(QWidget* parent)
    : QLabel(parent)
{
    setMinimumSize(1, 1);
    setScaledContents(false);
}

QPixmap ImageView::scaledPixmap() const
{
    return m_pixmap.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QSize ImageView::sizeHint() const
{
    const int w = width();
    return QSize(w, heightForWidth(w));
}

int ImageView::heightForWidth(int width) const
{
    if (m_pixmap.isNull() || m_pixmap.width() == 0)
        return height();
    const qint64 product = qint64(m_pixmap.height()) * width;
    return int(double(product) / m_pixmap.width());
}

void ImageView::setPixmap(const QPixmap& pixmap)
{
    m_pixmap = pixmap;
    QLabel::setPixmap(scaledPixmap());
}

void ImageView::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!m_pixmap.isNull())
        QLabel::setPixmap(scaledPixmap());
}

} // namespace OX
