#include "hpUtils.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

QString hpHomePath()
{
    const QStringList homes = QStandardPaths::standardLocations(QStandardPaths::HomeLocation);
    return homes.isEmpty() ? QString() : homes.first();
}

QString hpConvPath(QString &path)
{
    // Inside double quotes the shell still interprets these four; escaping them
    // keeps any file name one literal word.
    QString quoted;
    quoted.reserve(path.size() + 2);
    quoted += QLatin1Char('"');
    for (const QChar c : qAsConst(path)) {
        if (c == QLatin1Char('"') || c == QLatin1Char('$') || c == QLatin1Char('`') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    path = quoted;
    return path;
}

namespace {

using InodeSet = std::set<std::pair<dev_t, ino_t>>;

// Counts like du: 512-byte blocks actually allocated, symbolic links as
// themselves, a file with several hard links once per measurement.
bool countOnce(const struct stat &st, InodeSet &seen)
{
    if (S_ISDIR(st.st_mode) || st.st_nlink < 2)
        return true;
    return seen.insert({st.st_dev, st.st_ino}).second;
}

qint64 blocksBelow(int dirFd, InodeSet &seen)
{
    DIR *dir = fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    qint64 blocks = 0;
    while (const dirent *ent = readdir(dir)) {
        const char *name = ent->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!countOnce(st, seen))
            continue;
        blocks += st.st_blocks;
        if (S_ISDIR(st.st_mode)) {
            const int sub = openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0)
                blocks += blocksBelow(sub, seen);
        }
    }
    closedir(dir);
    return blocks;
}

} // namespace

qint64 hpGetSize(const QString &path)
{
    QString quoted = path;
    const QString command = (QFileInfo(path).isDir() ? QStringLiteral("du -d 0 -k ") : QStringLiteral("du -k "))
                            + hpConvPath(quoted) + QStringLiteral(" | awk '{print $1}'");
    qDebug("%s\n", command.toUtf8().constData());

    // Measured in-process with du's own rules: the same figure as the command
    // above, without two processes per item.
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty())
        return 0;
    struct stat st;
    if (lstat(native.constData(), &st) != 0)
        return 0;
    qint64 blocks = st.st_blocks;
    if (S_ISDIR(st.st_mode)) {
        InodeSet seen;
        const int fd = open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0)
            blocks += blocksBelow(fd, seen);
    }
    return (blocks + 1) / 2;
}

QString hpSizeToString(qint64 kib)
{
    if (kib >= (qint64(1) << 20))
        return QString::number(double(float(kib) * (1.0f / 1048576.0f)), 'f', 2) + QLatin1Char('G');
    if (kib >= 1024)
        return QString::number(double(float(kib) * (1.0f / 1024.0f)), 'f', 2) + QLatin1Char('M');
    return QString::number(kib) + QLatin1Char('K');
}
