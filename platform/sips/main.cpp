// Stand-in for the macOS image tool, for the one form the catalogue uses:
//   sips -s format png SRC --out DST
// Reads any image Qt reads (ICNS through the image-formats plugins) and writes PNG.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: sips -s format png SRC --out DST\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 6 || args.at(0) != QLatin1String("-s") || args.at(1) != QLatin1String("format")
        || args.at(4) != QLatin1String("--out"))
        return usage();
    if (args.at(2).compare(QLatin1String("png"), Qt::CaseInsensitive) != 0) {
        std::fprintf(stderr, "sips: only png output is supported\n");
        return 2;
    }
    const QString source = args.at(3);
    const QString target = args.at(5);

    QImageReader reader(source);
    // An icon file holds several sizes; the largest is what a conversion keeps.
    QImage best;
    do {
        const QImage image = reader.read();
        if (!image.isNull() && image.width() * image.height() > best.width() * best.height())
            best = image;
    } while (reader.jumpToNextImage());
    if (best.isNull()) {
        std::fprintf(stderr, "sips: cannot read %s: %s\n", qPrintable(source), qPrintable(reader.errorString()));
        return 1;
    }
    if (!best.save(target, "PNG")) {
        std::fprintf(stderr, "sips: cannot write %s\n", qPrintable(target));
        return 1;
    }
    std::printf("%s\n  %s\n", qPrintable(source), qPrintable(target));
    return 0;
}
