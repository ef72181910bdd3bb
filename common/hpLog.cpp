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
bool sAsRoot = false;
// Root appends in the folder hpLogInit checked, through its handle: a path
// swapped after start-up cannot redirect the writes, and only root may change
// that folder's mode. An ordinary user opens the file by its name.
int sRootFolder = -1;
QByteArray sUserFile;

// O_APPEND makes each record one atomic append, so records of concurrent
// threads never interleave; opening anew each time survives a deleted file.
// A link is not followed, and O_NONBLOCK keeps a FIFO from hanging us.
const int kFileFlags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

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

void forget()
{
    sLogFileName.clear();
    sUserFile.clear();
    if (sRootFolder >= 0)
        ::close(sRootFolder);
    sRootFolder = -1;
}

bool refuse(const QString &folder, const char *why)
{
    qInstallMessageHandler(nullptr);
    forget();
    std::fprintf(stderr, "log folder refused (%s): %s\n", why, QFile::encodeName(folder).constData());
    return false;
}
} // namespace

bool hpLogInit(QString folder)
{
    if (folder.isEmpty())
        return refuse(folder, "no folder");
    forget();
    const QByteArray native = QFile::encodeName(folder);
    sAsRoot = geteuid() == 0;
    if (sAsRoot) {
        // An explicit mode: root's umask may be 0.
        ::mkdir(native.constData(), 0755);
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        // Any failure is a refusal: a handler left without a folder would drop
        // every message, where a refusal sends them to standard error.
        if (fd < 0)
            return refuse(folder, errno == ELOOP || errno == ENOTDIR ? "a link or not a folder" : "cannot be opened");
        struct stat st;
        const char *why = fstat(fd, &st) == 0 ? unsafeForRoot(st) : "cannot be examined";
        if (why) {
            ::close(fd);
            return refuse(folder, why);
        }
        sRootFolder = fd;
    } else {
        if (!QDir(folder).exists())
            QDir().mkdir(folder);
        sUserFile = native + "/main.log";
    }
    sLogFileName = folder + QStringLiteral("/main.log");
    qInstallMessageHandler(myMessageHandler);
    return true;
}

QString hpLogFileName()
{
    return sLogFileName;
}

QByteArray hpLogRecord(const QDateTime &when, const QString &msg)
{
    QByteArray record = (when.toLocalTime().toString(QStringLiteral("yyyy.MM.dd-HH:mm:ss.zzz"))
                         + QStringLiteral("- ") + msg).toLatin1();
    // Our own messages end in "\n", Qt's and qDebug() streams do not; without
    // it the next record would run on in the same line.
    if (!record.endsWith('\n'))
        record += '\n';
    return record;
}

void myMessageHandler(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    const int fd = sAsRoot ? ::openat(sRootFolder, "main.log", kFileFlags, 0644)
                           : ::open(sUserFile.constData(), kFileFlags, 0644);
    if (fd < 0)
        return;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const QByteArray record = hpLogRecord(QDateTime::currentDateTime(), msg);
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
