// Tinted pixmaps on shapes the test draws: alpha kept, badge geometry, the alternative form; images
// read ahead.
#include "ui/toolkit/Pixmap.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace
{

// The images read on the pool, waited for and made pixmaps, as a window takes them.
QList<OX::Pixmap> readAllNow(const QStringList& fileNames, const QSize& fitIn = QSize())
{
    QList<OX::Pixmap> pixmaps;
    for (const QImage& image : OX::Pixmap::readAll(fileNames, fitIn).results())
        pixmaps << OX::Pixmap(QPixmap::fromImage(image));
    return pixmaps;
}

class PixmapTest : public ::testing::Test
{
protected:
    // Saves a 64×64 shape: opaque white where paint draws, transparent elsewhere.
    QString shape(const QString& name, const std::function<void(QPainter&)>& paint)
    {
        QImage image(64, 64, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        paint(p);
        p.end();
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        EXPECT_TRUE(image.save(path, "PNG"));
        return m_dir.filePath(name); // the name a builder is given; ".png" is found by Qt
    }
    static void full(QPainter& p) { p.fillRect(0, 0, 64, 64, Qt::white); }
    static QColor at(const QPixmap& pixmap, int x, int y) { return pixmap.toImage().pixelColor(x, y); }

    QTemporaryDir m_dir;
};

TEST_F(PixmapTest, TintedCopyKeepsEachPixelsAlphaAndReplacesTheTintsAlpha)
{
    QImage image(4, 1, QImage::Format_ARGB32);
    const int alphas[] = { 0, 1, 128, 255 };
    for (int x = 0; x < 4; ++x)
        image.setPixelColor(x, 0, QColor(10, 200, 30, alphas[x]));
    const OX::Pixmap pixmap(QPixmap::fromImage(image));
    const QImage tinted = pixmap.getTintedCopy(QColor(255, 0, 0, 128)).toImage();
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(qAlpha(tinted.pixel(x, 0)), alphas[x]) << x;
        if (alphas[x] == 255)
            EXPECT_EQ(tinted.pixelColor(x, 0), QColor(255, 0, 0, 255));
    }
    EXPECT_EQ(pixmap.toImage().pixelColor(3, 0), QColor(10, 200, 30, 255)); // the source unchanged

    OX::Pixmap empty(QSize(40, 40));
    EXPECT_EQ(at(empty, 20, 20).alpha(), 0);
    empty.createIcon(
        shape(QStringLiteral("disc"), [](QPainter& p) { p.fillRect(16, 16, 32, 32, Qt::white); }), Qt::blue);
    EXPECT_EQ(at(empty, 20, 20), QColor(Qt::blue));
    EXPECT_EQ(at(empty, 2, 2).alpha(), 0);
}

TEST_F(PixmapTest, BadgeTakesTheLowerRightQuarterRoundedUp)
{
    const QString icon = shape(QStringLiteral("icon"), full);
    shape(QStringLiteral("badge_i"), full);
    shape(QStringLiteral("badge_m"), full);
    const QString badge = m_dir.filePath(QStringLiteral("badge"));
    for (const int side : { 40, 41 }) {
        OX::Pixmap pixmap(QSize(side, side));
        pixmap.createBadgedIcon(icon, badge, Qt::blue, Qt::red, false);
        EXPECT_EQ(at(pixmap, 19, 30), QColor(Qt::blue)) << side;
        EXPECT_EQ(at(pixmap, 20, 30), QColor(Qt::black)) << side; // tint's outline: the badge's left column
        EXPECT_EQ(at(pixmap, 21, 21), QColor(Qt::red)) << side;
        EXPECT_EQ(at(pixmap, side - 1, side - 1), QColor(Qt::red)) << side; // 20×20 or 21×21
    }

    // The mask clears the icon under the badge where the badge itself does not draw.
    shape(QStringLiteral("dot_i"), [](QPainter& p) { p.fillRect(24, 24, 16, 16, Qt::white); });
    shape(QStringLiteral("dot_m"), full);
    OX::Pixmap cut(QSize(40, 40));
    cut.createBadgedIcon(icon, m_dir.filePath(QStringLiteral("dot")), Qt::blue, Qt::red, false);
    EXPECT_EQ(at(cut, 21, 21).alpha(), 0);
    EXPECT_EQ(at(cut, 30, 30), QColor(Qt::red));
    // Without a mask nothing is cleared.
    shape(QStringLiteral("bare_i"), [](QPainter& p) { p.fillRect(24, 24, 16, 16, Qt::white); });
    OX::Pixmap uncut(QSize(40, 40));
    uncut.createBadgedIcon(icon, m_dir.filePath(QStringLiteral("bare")), Qt::blue, Qt::red, false);
    EXPECT_EQ(at(uncut, 21, 21), QColor(Qt::blue));
}

TEST_F(PixmapTest, AlternativeIconOnlyWhenAsked)
{
    const QString icon = shape(QStringLiteral("shape"), full);
    shape(QStringLiteral("shape_i"), [](QPainter& p) { p.fillRect(0, 0, 32, 64, Qt::white); });
    const QString badge = m_dir.filePath(QStringLiteral("none")); // no badge files at all
    OX::Pixmap plain(QSize(40, 40)), alternative(QSize(40, 40));
    plain.createBadgedIcon(icon, badge, Qt::blue, Qt::red, false);
    alternative.createBadgedIcon(icon, badge, Qt::blue, Qt::red, true);
    EXPECT_EQ(at(plain, 30, 10), QColor(Qt::blue));
    EXPECT_EQ(at(alternative, 30, 10).alpha(), 0);
    EXPECT_EQ(at(alternative, 10, 10), QColor(Qt::blue));
}

// Images read side by side come back in the order named; what is not PNG is read the usual way
// and what cannot be read is a null pixmap.
TEST_F(PixmapTest, ImagesReadTogetherComeInTheOrderNamed)
{
    shape(QStringLiteral("ahead"), full);
    const QString png = m_dir.filePath(QStringLiteral("ahead.png"));
    QImage bmp(8, 8, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    const QString other = m_dir.filePath(QStringLiteral("other"));
    ASSERT_TRUE(bmp.save(other, "BMP"));

    const QList<OX::Pixmap> read
        = readAllNow({ png, other, m_dir.filePath(QStringLiteral("gone")), png });
    ASSERT_EQ(read.size(), 4);
    EXPECT_EQ(read[0].size(), QSize(64, 64));
    EXPECT_EQ(at(read[0], 5, 5), QColor(Qt::white));
    EXPECT_EQ(at(read[1], 1, 1), QColor(Qt::red));
    EXPECT_TRUE(read[2].isNull());
    EXPECT_EQ(read[3].size(), QSize(64, 64));
    EXPECT_EQ(at(OX::Pixmap(other), 1, 1), QColor(Qt::red)) << "a file without suffix that is no PNG";
}

} // namespace

namespace
{

// Read to fit, an image comes out pixel for pixel as the pixmap scaled when drawn did before;
// a smaller one is left as it is.
TEST_F(PixmapTest, ImagesReadToFitMatchThePixmapScaledAfterReading)
{
    const QString disc = shape(QStringLiteral("fit"), [](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::white);
        p.drawEllipse(3, 5, 50, 41);
    });
    const QList<OX::Pixmap> read = readAllNow({ disc, disc }, QSize(27, 40));
    const QImage scaled
        = OX::Pixmap(disc).scaled(27, 40, Qt::KeepAspectRatio, Qt::SmoothTransformation).toImage();
    EXPECT_EQ(read[0].toImage(), scaled);
    EXPECT_EQ(readAllNow({ disc }, QSize(64, 80))[0].size(), QSize(64, 64));
}

} // namespace
