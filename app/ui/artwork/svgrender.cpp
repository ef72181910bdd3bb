// Build-time tool: renders one SVG drawing to PNG or TIFF (the format follows
// the output file's suffix), at its own size or at a given square size.
// Drawing at the size shown keeps small images sharp, where scaling down a
// large bitmap at run time would not.
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
    int side = 0;
    if (argc == 4)
        side = QByteArray(argv[3]).toInt();
    if ((argc != 3 && argc != 4) || side < 0 || (argc == 4 && side == 0)) {
        std::fprintf(stderr, "usage: svgrender INPUT.svg OUTPUT.png|OUTPUT.tiff [SIZE]\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QSize size = side > 0 ? QSize(side, side) : svg.defaultSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
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
