#pragma once
// Icons are single-colour shapes whose alpha is the shape; their colour comes from the skin at
// run time. OX::Pixmap turns such a shape into a coloured pixmap: tinted, overlaid by a second
// shape, or with a badge in its lower right quarter cut cleanly out of the icon by a mask.
// Every builder draws into this pixmap at its current size, over what is already there; a path
// that names no image draws nothing, and a null pixmap draws nothing at all.
#include <QFuture>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace OX
{

class Pixmap : public QPixmap
{
public:
    Pixmap() = default;
    // Fully transparent, of that size.
    explicit Pixmap(const QSize& size);
    // The image file or resource, unchanged.
    explicit Pixmap(const QString& fileName, const char* format = nullptr,
        Qt::ImageConversionFlags flags = Qt::AutoColor);
    // The icon rendered at size, normal mode, off state.
    Pixmap(const QIcon& icon, const QSize& size);
    Pixmap(const QPixmap& other);
    Pixmap(const Pixmap& other) = default;
    Pixmap& operator=(const Pixmap& other) = default;
    ~Pixmap();

    // Recolours in place, keeping each pixel's alpha. The painter's default pen outlines the top
    // row and the left column in black where they are not transparent (icons keep a margin).
    void tint(const QColor& color);
    // A copy whose every pixel takes color's red, green and blue with its own alpha; color's own
    // alpha is replaced, not multiplied.
    QPixmap getTintedCopy(const QColor& color) const;
    // The same for an image, on any thread: every pixel takes color's red, green and blue with its
    // own alpha, premultiplied.
    static QImage tintedImage(QImage image, const QColor& color);
    // The image of a file or resource as the constructor reads it, on any thread.
    static QImage readImage(const QString& fileName);

    // The shape at path, in color, stretched over the whole pixmap.
    void createIcon(const QString& path, const QColor& color);
    // A further shape, in color, over the current content.
    void addOverLay(const QString& path, const QColor& color);
    // The base shape in baseColor, then the overlay in overlayColor over it.
    void createOverlayedIcon(
        const QString& base, const QString& overlay, const QColor& baseColor, const QColor& overlayColor);
    // The icon (its "_i" form when alternative) in iconColor, with the badge ("_i") in badgeColor
    // in the lower right quarter, the badge's mask ("_m") cleared out of the icon first.
    void createBadgedIcon(const QString& icon, const QString& badge, const QColor& iconColor,
        const QColor& badgeColor, bool alternative);

    // The images of these files, read side by side on Qt's thread pool (what a window shows
    // when it is first shown) without waiting: the future's results come in the order named, a
    // file that cannot be read as a null image. An image larger than fitIn (when valid) is scaled
    // down smoothly into it, aspect kept, as QPixmap::scaled does.
    static QFuture<QImage> readAll(const QStringList& fileNames, const QSize& fitIn = QSize());

    // Suffixes of the alternative form and of a badge's mask.
    static constexpr const char* AlternativeSuffix = "_i";
    static constexpr const char* MaskSuffix = "_m";
};

} // namespace OX
