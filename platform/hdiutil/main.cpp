// Stand-in for the macOS disk image tool, for the forms the update uses:
//   hdiutil attach -mountpoint DIR IMAGE   makes the image's files appear in DIR
//   hdiutil detach DIR                     makes them disappear again, DIR stays
// The image is an uncompressed POSIX tar of plain files and folders.
#include "hpTar.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: hdiutil attach -mountpoint DIR IMAGE | hdiutil detach DIR\n");
    return 2;
}

bool isRealFolder(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

int removeOne(const char *path, const struct stat *, int, struct FTW *ftw)
{
    if (ftw->level == 0)
        return 0;
    return ::remove(path) == 0 ? 0 : -1;
}

// Removes what DIR holds, links as links, and keeps DIR.
bool empty(const QString &dir)
{
    return nftw(QFile::encodeName(dir).constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

int attach(const QString &dir, const QString &image)
{
    if (!isRealFolder(dir)) {
        std::fprintf(stderr, "hdiutil: attach failed - no mount point %s\n", qPrintable(dir));
        return 1;
    }
    QByteArray data;
    QString why;
    QVector<HpTarEntry> entries;
    if (!hpReadRegularFile(image, &data, &why) || !hpTarRead(data, &entries, &why)) {
        std::fprintf(stderr, "hdiutil: attach failed - image not recognized: %s\n", qPrintable(why));
        return 1;
    }
    for (const HpTarEntry &entry : qAsConst(entries)) {
        if (!hpTarWriteEntry(dir, entry, false)) {
            std::fprintf(stderr, "hdiutil: attach failed - cannot write %s\n", qPrintable(entry.name));
            empty(dir);
            return 1;
        }
    }
    std::printf("/dev/disk9s1\tApple_HFS\t%s\n", qPrintable(dir));
    return 0;
}

int detach(const QString &dir)
{
    if (!isRealFolder(dir)) {
        std::fprintf(stderr, "hdiutil: detach failed - No such file or directory\n");
        return 1;
    }
    if (!empty(dir)) {
        std::fprintf(stderr, "hdiutil: detach failed - %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("\"disk9\" ejected.\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && args.at(0) == QLatin1String("attach") && args.at(1) == QLatin1String("-mountpoint"))
        return attach(args.at(2), args.at(3));
    if (args.size() == 2 && args.at(0) == QLatin1String("detach"))
        return detach(args.at(1));
    return usage();
}
