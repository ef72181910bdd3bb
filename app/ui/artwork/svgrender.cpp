// Build-time tool: renders one SVG drawing at its own size to PNG or TIFF
// (the format follows the output file's suffix).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // No display is needed, and build machines often have none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: svgrender INPUT.svg OUTPUT.png|OUTPUT.tiff\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(svg.defaultSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
