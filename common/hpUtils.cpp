#include "hpUtils.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

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

// A folder on the way down, with the sub-folders still to visit and, for the
// current folder and the few nearest the top, its open handle.
struct Level {
    dev_t dev;
    ino_t ino;
    std::vector<std::string> subdirs;
    std::size_t next = 0;
    DIR *dir = nullptr;
};

// Folders near the top stay open, so that the usual shallow tree is walked
// without climbing back through ".."; deeper ones are closed before descending.
constexpr int kOpenAncestors = 8;

bool outOfResources(int err)
{
    return err == EMFILE || err == ENFILE || err == ENOMEM;
}

bool onPath(const std::vector<Level> &path, const struct stat &st)
{
    for (const Level &level : path)
        if (level.dev == st.st_dev && level.ino == st.st_ino)
            return true;
    return false;
}

// Pushes the folder open as fd (which this takes over) and adds the blocks of
// its entries. Its names are read whole before any descent, so the walk holds
// a bounded number of descriptors however deep the tree is. False, with errno
// set, when the folder cannot be read; it is pushed all the same.
bool readLevel(int fd, dev_t dev, ino_t ino, std::vector<Level> &path, InodeSet &seen, qint64 &blocks)
{
    path.push_back(Level{dev, ino, {}, 0, fdopendir(fd)});
    DIR *dir = path.back().dir;
    if (!dir) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return false;
    }
    std::vector<std::string> &subdirs = path.back().subdirs;
    while (const dirent *ent = readdir(dir)) {
        const char *name = ent->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        struct stat st;
        if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // Like du, a folder that is one of its own ancestors (a bind mount loop) is skipped.
        if (S_ISDIR(st.st_mode) && onPath(path, st))
            continue;
        if (!countOnce(st, seen))
            continue;
        blocks += st.st_blocks;
        if (S_ISDIR(st.st_mode))
            subdirs.emplace_back(name);
    }
    return true;
}

void closeLevel(Level &level)
{
    if (level.dir)
        closedir(level.dir);
    level.dir = nullptr;
}

// Blocks below the folder open as rootFd (which this takes over), or -1 when
// the walk ran out of descriptors or memory or the tree moved under it: a
// partial sum would be a wrong size, not a smaller one.
qint64 blocksBelow(int rootFd, const struct stat &root)
{
    InodeSet seen;
    std::vector<Level> path;
    qint64 blocks = 0;
    bool ok = readLevel(rootFd, root.st_dev, root.st_ino, path, seen, blocks) || !outOfResources(errno);
    while (ok && path.back().dir) {
        Level &top = path.back();
        if (top.next < top.subdirs.size()) {
            const std::string &name = top.subdirs[top.next++];
            const int fd = openat(dirfd(top.dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat st;
            if (fd < 0 || fstat(fd, &st) != 0) {
                // Unreadable or vanished: du counts the folder itself and goes on.
                ok = !outOfResources(errno);
                if (fd >= 0)
                    ::close(fd);
                continue;
            }
            const int depth = int(path.size());
            if (!readLevel(fd, st.st_dev, st.st_ino, path, seen, blocks)) {
                ok = !outOfResources(errno);
                path.pop_back();
            } else if (path.back().subdirs.empty()) {
                closeLevel(path.back()); // a leaf: no need to climb back out of it
                path.pop_back();
            } else if (depth > kOpenAncestors) {
                closeLevel(path[depth - 1]);
            }
            continue;
        }
        if (path.size() == 1)
            break;
        Level &parent = path[path.size() - 2];
        if (!parent.dir) {
            // Back up through "..", which must be the folder we came from.
            const int fd = openat(dirfd(top.dir), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            struct stat st;
            parent.dir = fd >= 0 ? fdopendir(fd) : nullptr;
            if (!parent.dir && fd >= 0)
                ::close(fd);
            ok = parent.dir && fstat(fd, &st) == 0 && st.st_dev == parent.dev && st.st_ino == parent.ino;
        }
        closeLevel(top);
        path.pop_back();
    }
    for (Level &level : path)
        closeLevel(level);
    return ok ? blocks : -1;
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
        const int fd = open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && outOfResources(errno))
            return 0;
        if (fd >= 0) {
            const qint64 below = blocksBelow(fd, st);
            if (below < 0)
                return 0;
            blocks += below;
        }
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

bool hpIsRegularFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    return !native.isEmpty() && stat(native.constData(), &st) == 0 && S_ISREG(st.st_mode);
}
