// orvix-svgrender IN.svg OUT.png: rasterises one of our icon drawings at the size the drawing
// declares (its width and height), with a transparent background. Used by the build only.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvix-svgrender IN.svg OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "orvix-svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QSize size = renderer.defaultSize();
    if (size.isEmpty() || size.width() > 8192 || size.height() > 8192) {
        std::fprintf(stderr, "orvix-svgrender: %s declares no usable size\n", argv[1]);
        return 1;
    }
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "orvix-svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
