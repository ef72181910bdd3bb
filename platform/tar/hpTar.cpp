#include "hpTar.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const int kBlock = 512;

// An octal field: digits, optionally led by spaces and ended by NUL or space.
bool octal(const char *field, int len, qint64 *value)
{
    qint64 v = 0;
    int i = 0;
    while (i < len && field[i] == ' ')
        ++i;
    bool any = false;
    for (; i < len && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (v > (Q_INT64_C(1) << 40))
            return false;
        v = v * 8 + (field[i] - '0');
        any = true;
    }
    for (; i < len; ++i) {
        if (field[i] != 0 && field[i] != ' ')
            return false;
    }
    *value = v;
    return any;
}

QByteArray text(const char *field, int len)
{
    return QByteArray(field, int(qstrnlen(field, uint(len))));
}

bool safeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return false;
    for (const QString &part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}
} // namespace

bool hpTarRead(const QByteArray &archive, QVector<HpTarEntry> *entries, QString *why)
{
    entries->clear();
    qint64 pos = 0;
    while (true) {
        if (pos + kBlock > archive.size()) {
            *why = QStringLiteral("archive cut off");
            return false;
        }
        const char *h = archive.constData() + pos;
        if (std::all_of(h, h + kBlock, [](char c) { return c == 0; }))
            return true;
        qint64 sum = 0, size = 0, mode = 0;
        if (!octal(h + 148, 8, &sum) || !octal(h + 124, 12, &size) || !octal(h + 100, 8, &mode)) {
            *why = QStringLiteral("not a tar archive");
            return false;
        }
        qint64 computed = 0;
        for (int i = 0; i < kBlock; ++i)
            computed += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(h[i]);
        if (computed != sum) {
            *why = QStringLiteral("not a tar archive (checksum)");
            return false;
        }
        QByteArray name = text(h, 100);
        if (std::memcmp(h + 257, "ustar", 5) == 0 && h[345])
            name = text(h + 345, 155) + '/' + name;
        const char type = h[156];
        HpTarEntry entry;
        entry.name = QString::fromUtf8(name);
        if (entry.name.endsWith(QLatin1Char('/')))
            entry.name.chop(1);
        while (entry.name.startsWith(QLatin1String("./")))
            entry.name.remove(0, 2);
        entry.mode = int(mode & 0777);
        if (type == '5') {
            entry.folder = true;
        } else if (type != '0' && type != 0) {
            *why = QStringLiteral("%1: not a plain file or folder").arg(entry.name);
            return false;
        }
        if (entry.name == QLatin1String(".") && entry.folder) {
            pos += kBlock;
            continue;
        }
        if (!safeName(entry.name)) {
            *why = QStringLiteral("%1: unsafe name").arg(entry.name);
            return false;
        }
        pos += kBlock;
        if (!entry.folder) {
            if (pos + size > archive.size()) {
                *why = QStringLiteral("archive cut off");
                return false;
            }
            entry.data = archive.mid(int(pos), int(size));
            pos += (size + kBlock - 1) / kBlock * kBlock;
        }
        entries->append(entry);
    }
}

bool hpReadRegularFile(const QString &path, QByteArray *data, QString *why)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size < (qint64(1) << 30);
    if (!ok)
        *why = QStringLiteral("not a regular file");
    data->clear();
    char buf[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = QString::fromLocal8Bit(std::strerror(errno));
            ok = false;
        }
        if (n <= 0)
            break;
        data->append(buf, int(n));
    }
    ::close(fd);
    return ok;
}

namespace {
bool isRealFolder(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool hpTarWriteEntry(const QString &dir, const HpTarEntry &entry, bool replace)
{
    const QStringList parts = entry.name.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = dir;
    for (int i = 0; i < parts.size(); ++i) {
        if (parts.at(i) == QLatin1String("."))
            continue;
        path += QLatin1Char('/') + parts.at(i);
        const QByteArray native = QFile::encodeName(path);
        const bool last = i == parts.size() - 1;
        if (!last || entry.folder) {
            if (::mkdir(native.constData(), 0755) != 0 && !(errno == EEXIST && isRealFolder(path)))
                return false;
            continue;
        }
        // A replacement is written beside the file and renamed over it, as an
        // installer does: a running program cannot be opened for writing, and
        // a link planted where the file goes is replaced, never written through.
        const QByteArray written = replace ? native + ".ks-new" : native;
        if (replace)
            ::unlink(written.constData());
        const int fd = ::open(written.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              mode_t(entry.mode & 0755));
        if (fd < 0)
            return false;
        bool ok = true;
        for (qint64 done = 0; ok && done < entry.data.size();) {
            const ssize_t n = ::write(fd, entry.data.constData() + done, size_t(entry.data.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            done += qMax<ssize_t>(n, 0);
        }
        if (::close(fd) != 0 || !ok || (replace && ::rename(written.constData(), native.constData()) != 0))
            return false;
    }
    return true;
}
