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
    if (m_pixmap.isNull())
        return QPixmap(); // a picture that could not be read: nothing to scale, nothing shown
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
    // Never below nothing nor above what a widget may have: a tall picture asked for a wide
    // width would not fit an int.
    const qint64 product = qint64(m_pixmap.height()) * qMax(0, width);
    return int(qMin(double(product) / m_pixmap.width(), double(QWIDGETSIZE_MAX)));
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
