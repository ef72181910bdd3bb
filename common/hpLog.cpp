#include "hpUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Written once by hpLogInit before any other thread exists; read-only afterwards.
QString sLogFileName;
QByteArray sLogFolderNative;

// The service logs as root into a folder of its own. Were that folder (or a
// link in its place) writable by anyone else, they could make root append to
// any file, so root writes only into a real folder that root owns alone.
const char *unsafeForRoot(const struct stat &st)
{
    if (!S_ISDIR(st.st_mode))
        return "not a folder";
    if (st.st_uid != 0)
        return "not owned by root";
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return "writable by others";
    return nullptr;
}

int openFolder(const char *folder, bool asRoot)
{
    return ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (asRoot ? O_NOFOLLOW : 0));
}

bool refuse(const QString &folder, const char *why)
{
    sLogFileName.clear();
    sLogFolderNative.clear();
    qInstallMessageHandler(nullptr);
    std::fprintf(stderr, "log folder refused (%s): %s\n", why, QFile::encodeName(folder).constData());
    return false;
}
} // namespace

bool hpLogInit(QString folder)
{
    if (folder.isEmpty())
        return refuse(folder, "no folder");
    const QByteArray native = QFile::encodeName(folder);
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        // An explicit mode: root's umask may be 0.
        ::mkdir(native.constData(), 0755);
        const int fd = openFolder(native.constData(), true);
        // Any failure is a refusal: a handler left without a folder would drop
        // every message, where a refusal sends them to standard error.
        if (fd < 0)
            return refuse(folder, errno == ELOOP || errno == ENOTDIR ? "a link or not a folder" : "cannot be opened");
        struct stat st;
        const char *why = fstat(fd, &st) == 0 ? unsafeForRoot(st) : "cannot be examined";
        ::close(fd);
        if (why)
            return refuse(folder, why);
    } else if (!QDir(folder).exists()) {
        QDir().mkdir(folder);
    }
    sLogFileName = folder + QStringLiteral("/main.log");
    sLogFolderNative = native;
    qInstallMessageHandler(myMessageHandler);
    return true;
}

QString hpLogFileName()
{
    return sLogFileName;
}

QByteArray hpLogRecord(const QDateTime &when, const QString &msg)
{
    return (when.toLocalTime().toString(QStringLiteral("yyyy.MM.dd-HH:mm:ss.zzz"))
            + QStringLiteral("- ") + msg).toLatin1();
}

void myMessageHandler(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    if (sLogFolderNative.isEmpty())
        return;
    const QByteArray record = hpLogRecord(QDateTime::currentDateTime(), msg);
    // The folder is checked again through the handle the file is opened in, so
    // a folder swapped after hpLogInit cannot redirect root's writes either.
    const bool asRoot = geteuid() == 0;
    const int dir = openFolder(sLogFolderNative.constData(), asRoot);
    if (dir < 0)
        return;
    struct stat st;
    int fd = -1;
    if (!asRoot || (fstat(dir, &st) == 0 && !unsafeForRoot(st))) {
        // O_APPEND makes each record one atomic append, so records of concurrent
        // threads never interleave; opening anew each time survives a deleted
        // file. A link is not followed, and O_NONBLOCK keeps a FIFO from hanging us.
        fd = ::openat(dir, "main.log", O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    }
    ::close(dir);
    if (fd < 0)
        return;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        qint64 done = 0;
        while (done < record.size()) {
            const ssize_t n = ::write(fd, record.constData() + done, size_t(record.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
    }
    ::close(fd);
}
