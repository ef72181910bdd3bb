#include "hpLaunchJob.h"

#include "hpPlistRead.h"
#include "hpSettings.h"

#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool hpIsSafeLaunchLabel(const QString &label)
{
    // launchd caps a label far above this; a longer one is nobody's.
    if (label.size() > 255 || label.startsWith(QLatin1String("com.apple."), Qt::CaseInsensitive))
        return false;
    const QStringList parts = label.split(QLatin1Char('.'));
    if (parts.size() < 3)
        return false;
    for (const QString &part : parts) {
        // A leading '-' would reach launchctl as an option.
        if (part.isEmpty() || part.at(0) == QLatin1Char('-'))
            return false;
        for (const QChar c : part) {
            const ushort u = c.unicode();
            const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_'
                            || u == '-';
            if (!ok)
                return false;
        }
    }
    return true;
}

QString hpLaunchLabel(const QString &name, int dirFd)
{
    const QByteArray native = QFile::encodeName(name);
    const int at = dirFd < 0 ? AT_FDCWD : dirFd;
    struct stat st;
    // Checked before opening as well: opening a device may already act.
    if (native.isEmpty() || fstatat(at, native.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return QString();
    const int fd = openat(at, native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString();
    QByteArray data;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kPlistMaxFileBytes) {
        data.resize(int(st.st_size));
        qint64 got = 0;
        while (got < data.size()) {
            const ssize_t n = read(fd, data.data() + got, size_t(data.size() - got));
            if (n <= 0)
                break;
            got += n;
        }
        data.truncate(int(got));
    }
    close(fd);
    const QString label = hpPlistString(data, QStringLiteral("Label"));
    return hpIsSafeLaunchLabel(label) ? label : QString();
}
