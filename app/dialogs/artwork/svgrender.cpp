// Build-time tool: renders one SVG drawing to PNG or TIFF (the format follows
// the output file's suffix), at its own size or at a given square size, or to
// an ICNS file holding every size an application icon needs.
// Drawing at the size shown keeps small images sharp, where scaling down a
// large bitmap at run time would not.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdio>

namespace {

QImage render(QSvgRenderer &svg, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    return image;
}

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// The same container on every system, so the Mac build needs no iconutil:
// "icns" and the file's length, then for each size its type, the entry's
// length (header included) and a PNG. These types take PNG data from 10.7 on;
// the @2x ones are what Retina screens ask for.
QByteArray icns(QSvgRenderer &svg)
{
    static const struct {
        char type[5];
        int side;
    } members[] = {
        {"icp4", 16},  {"ic11", 32},  {"icp5", 32},  {"ic12", 64},  {"ic07", 128},
        {"ic13", 256}, {"ic08", 256}, {"ic14", 512}, {"ic09", 512}, {"ic10", 1024},
    };
    QByteArray body;
    for (const auto &member : members) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!render(svg, QSize(member.side, member.side)).save(&buffer, "PNG"))
            return QByteArray();
        body += QByteArray(member.type, 4) + be32(quint32(8 + png.size())) + png;
    }
    return "icns" + be32(quint32(8 + body.size())) + body;
}

} // namespace

int main(int argc, char *argv[])
{
    // No display is needed, and build machines often have none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int side = 0;
    if (argc == 4)
        side = QByteArray(argv[3]).toInt();
    if ((argc != 3 && argc != 4) || side < 0 || (argc == 4 && side == 0)) {
        std::fprintf(stderr, "usage: svgrender INPUT.svg OUTPUT.png|OUTPUT.tiff [SIZE]\n"
                             "       svgrender INPUT.svg OUTPUT.icns\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    bool written = false;
    if (output.endsWith(QLatin1String(".icns"))) {
        // Written whole or not at all: a half file would pass for the icon.
        const QByteArray data = icns(svg);
        QSaveFile file(output);
        written = !data.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    } else {
        written = render(svg, side > 0 ? QSize(side, side) : svg.defaultSize()).save(output);
    }
    if (!written) {
        std::fprintf(stderr, "svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
