#include "ui/toolkit/Pixmap.h"

#include "async/ThreadHandover.h"

#include <QFileInfo>
#include <QFutureInterface>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRunnable>
#include <QThreadPool>

#include <atomic>
#include <memory>

namespace OX
{

namespace
{
// The shape at path scaled to size, aspect kept, smoothly; null when path names no image.
QPixmap loadScaled(const QString& path, const QSize& size)
{
    const Pixmap shape(path);
    if (shape.isNull())
        return shape;
    return shape.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

Pixmap tinted(const QPixmap& shape, const QColor& color)
{
    Pixmap result(shape);
    result.tint(color);
    return result;
}

void drawOver(QPixmap& target, const QPixmap& layer)
{
    if (layer.isNull())
        return;
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawPixmap(QRect(0, 0, target.width(), target.height()), layer);
}
} // namespace

Pixmap::Pixmap(const QSize& size)
    : QPixmap(size)
{
    fill(Qt::transparent);
}

namespace
{

// Our resources are named without a suffix and are nearly all PNG: read as PNG first, so that
// the image is not offered to every image format plugin in turn (which loads them all).
// Read here rather than by QPixmap::load, which keeps every file it reads in QPixmapCache at the
// file's own size (our drawings are 256 x 256, drawn far smaller) where nothing asks for it again.
QImage readImage(const QString& fileName, const char* format = nullptr)
{
    const bool guessed = !format && QFileInfo(fileName).suffix().isEmpty();
    QImageReader reader(fileName, guessed ? "PNG" : format);
    QImage image = reader.read();
    if (image.isNull() && guessed) {
        reader.setFileName(fileName); // not a PNG after all: every format is tried
        reader.setFormat(QByteArray());
        image = reader.read();
    }
    return image;
}

// Reads an image, scaled down into fitIn when larger (and fitIn valid). It is scaled in the
// format a raster pixmap holds it in, so it comes out as QPixmap::scaled would have made it.
QImage readFitted(const QString& fileName, const QSize& fitIn)
{
    const QImage image = readImage(fileName);
    if (!fitIn.isValid() || image.isNull()
        || (image.width() <= fitIn.width() && image.height() <= fitIn.height()))
        return image;
    const QImage::Format held
        = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return image.convertToFormat(held).scaled(fitIn, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The images read together: one task per file on Qt's thread pool, each reporting its image at
// the file's place; the last one to end finishes the future.
struct Reads {
    QFutureInterface<QImage> future;
    QStringList fileNames;
    QSize fitIn;
    std::atomic<int> left { 0 };
};

class ReadTask : public QRunnable
{
public:
    ReadTask(std::shared_ptr<Reads> reads, int index)
        : m_reads(std::move(reads))
        , m_index(index)
    {
    }

    void run() override
    {
        // Pairs with the release before the task went to the pool: Qt's pool hands it over under
        // a lock the thread checker cannot see (async/ThreadHandover.h).
        OX_HANDOVER_ACQUIRE(this);
        Reads& reads = *m_reads;
        reads.future.reportResult(readFitted(reads.fileNames.at(m_index), reads.fitIn), m_index);
        if (reads.left.fetch_sub(1, std::memory_order_acq_rel) == 1)
            reads.future.reportFinished();
    }

private:
    const std::shared_ptr<Reads> m_reads;
    const int m_index;
};

} // namespace

QFuture<QImage> Pixmap::readAll(const QStringList& fileNames, const QSize& fitIn)
{
    auto reads = std::make_shared<Reads>();
    reads->fileNames = fileNames;
    reads->fitIn = fitIn;
    reads->left = fileNames.size();
    reads->future.reportStarted();
    const QFuture<QImage> future = reads->future.future();
    if (fileNames.isEmpty())
        reads->future.reportFinished();
    for (int i = 0; i < fileNames.size(); ++i) {
        auto* task = new ReadTask(reads, i);
        OX_HANDOVER_RELEASE(task);
        QThreadPool::globalInstance()->start(task);
    }
    return future;
}

Pixmap::Pixmap(const QString& fileName, const char* format, Qt::ImageConversionFlags flags)
    : QPixmap(QPixmap::fromImage(OX::readImage(fileName, format), flags))
{
}

Pixmap::Pixmap(const QIcon& icon, const QSize& size)
    : QPixmap(icon.pixmap(size, QIcon::Normal, QIcon::Off))
{
}

Pixmap::Pixmap(const QPixmap& other)
    : QPixmap(other)
{
}

Pixmap::~Pixmap() = default;

void Pixmap::tint(const QColor& color)
{
    if (isNull())
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.setBrush(color);
    painter.drawRect(rect());
}

QPixmap Pixmap::getTintedCopy(const QColor& color) const
{
    if (isNull())
        return QPixmap();
    return QPixmap::fromImage(tintedImage(toImage(), color));
}

QImage Pixmap::readImage(const QString& fileName)
{
    return OX::readImage(fileName);
}

QImage Pixmap::tintedImage(QImage image, const QColor& color)
{
    if (image.isNull())
        return image;
    // Each pixel keeps its alpha and takes the colour's red, green and blue, line by line (per-pixel
    // calls cost tens of milliseconds at start). The shape's own premultiplied pixels are written
    // as they are: converting a large image to straight ARGB and back runs on Qt's thread pool.
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QColor c = color.toRgb();
    const uint red = uint(c.red()), green = uint(c.green()), blue = uint(c.blue());
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const uint a = uint(qAlpha(line[x]));
            line[x] = qRgba(int((red * a + 127) / 255), int((green * a + 127) / 255),
                int((blue * a + 127) / 255), int(a));
        }
    }
    return image;
}

void Pixmap::createIcon(const QString& path, const QColor& color)
{
    if (isNull())
        return;
    const Pixmap shape(path);
    if (shape.isNull())
        return;
    drawOver(*this, tinted(shape, color));
}

void Pixmap::addOverLay(const QString& path, const QColor& color)
{
    if (isNull())
        return;
    const QPixmap shape = loadScaled(path, size());
    if (!shape.isNull())
        drawOver(*this, tinted(shape, color));
}

void Pixmap::createOverlayedIcon(
    const QString& base, const QString& overlay, const QColor& baseColor, const QColor& overlayColor)
{
    addOverLay(base, baseColor);
    addOverLay(overlay, overlayColor);
}

void Pixmap::createBadgedIcon(const QString& icon, const QString& badge, const QColor& iconColor,
    const QColor& badgeColor, bool alternative)
{
    if (isNull())
        return;
    const int w = width();
    const int h = height();
    const QSize half(qRound(w * 0.5), qRound(h * 0.5));
    const QString iconPath = alternative ? icon + QLatin1String(AlternativeSuffix) : icon;
    const QPixmap iconShape = loadScaled(iconPath, QSize(w, h));
    const QPixmap badgeShape = loadScaled(badge + QLatin1String(AlternativeSuffix), half);
    const QPixmap mask = loadScaled(badge + QLatin1String(MaskSuffix), half);

    if (!iconShape.isNull())
        drawOver(*this, tinted(iconShape, iconColor));
    QPainter painter(this);
    const QPoint corner(w / 2, h / 2);
    if (!mask.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        painter.drawPixmap(corner, mask);
    }
    if (!badgeShape.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawPixmap(corner, tinted(badgeShape, badgeColor));
    }
}

} // namespace OX
