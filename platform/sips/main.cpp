// Stand-in for the macOS image tool, for the one form the catalogue uses:
//   sips -s format png SRC --out DST
// Reads any image Qt reads (ICNS through the image-formats plugins) and writes PNG.
#include "hpImageSize.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: sips -s format png SRC --out DST\n");
    return 2;
}

// Opened without blocking and checked on the open file, so a FIFO (or a link
// to one, or a device) is refused instead of waited on.
bool readRegularFile(const QString &path, QByteArray *data, QString *why)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok)
        *why = QStringLiteral("not a regular file");
    else if (st.st_size > hpMaxIconFileBytes) {
        *why = QStringLiteral("file too large");
        ok = false;
    }
    if (ok) {
        data->resize(int(st.st_size));
        qint64 done = 0;
        while (done < data->size()) {
            const ssize_t n = ::read(fd, data->data() + done, size_t(data->size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        data->resize(int(done));
    }
    ::close(fd);
    return ok;
}

int refuse(const QString &source, const QString &why)
{
    std::fprintf(stderr, "sips: cannot read %s: %s\n", qPrintable(source), qPrintable(why));
    return 1;
}

// Written through a descriptor opened without blocking: a FIFO without a
// reader fails to open instead of stalling the scan.
bool writeRegularFile(const QString &path, const QByteArray &data)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC,
                          0644);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    for (qint64 done = 0; ok && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += qMax<ssize_t>(n, 0);
    }
    return ::close(fd) == 0 && ok;
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

    QByteArray data;
    QString why;
    if (!readRegularFile(source, &data, &why))
        return refuse(source, why);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // The content decides; the suffix only names formats without a signature.
    QByteArray format = QImageReader::imageFormat(&buffer);
    if (format.isEmpty())
        format = QFileInfo(source).suffix().toLower().toLatin1();
    // A malformed container is refused like a file that cannot be read.
    if (!hpIconMembersFit(data, format, &why))
        return refuse(source, why);
    QImageReader reader(&buffer, format);
    // Only an ICNS file, whose members were measured above, may leave its
    // sizes unsaid; any other image says its size before it is decoded.
    const bool icns = format == "icns";
    // An icon file holds several sizes; the largest is what a conversion keeps.
    QImage best;
    qint64 decoded = 0;
    do {
        const QSize size = reader.size();
        if (size.isValid() && (!hpIconFits(size) || decoded + hpPixelBytes(size) > hpMaxIconBytes))
            return refuse(source, QStringLiteral("image too large"));
        if (!size.isValid() && !icns && reader.canRead())
            return refuse(source, QStringLiteral("image size unknown"));
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        decoded += image.sizeInBytes();
        if (!hpIconFits(image.size()) || decoded > hpMaxIconBytes)
            return refuse(source, QStringLiteral("image too large"));
        if (image.width() * image.height() > best.width() * best.height())
            best = image;
    } while (reader.jumpToNextImage());
    if (best.isNull())
        return refuse(source, reader.errorString());

    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!best.save(&out, "PNG") || !writeRegularFile(target, png)) {
        std::fprintf(stderr, "sips: cannot write %s\n", qPrintable(target));
        return 1;
    }
    std::printf("%s\n  %s\n", qPrintable(source), qPrintable(target));
    return 0;
}
