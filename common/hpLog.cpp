#include "hpUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {
// Written once by hpLogInit before any other thread exists; read-only afterwards.
QString sLogFileName;
QByteArray sLogFileNameNative;
}

void hpLogInit(QString folder)
{
    QDir dir(folder);
    if (!dir.exists())
        QDir().mkdir(folder);
    sLogFileName = folder + QStringLiteral("/main.log");
    sLogFileNameNative = QFile::encodeName(sLogFileName);
    qInstallMessageHandler(myMessageHandler);
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
    if (sLogFileNameNative.isEmpty())
        return;
    const QByteArray record = hpLogRecord(QDateTime::currentDateTime(), msg);
    // O_APPEND makes each record one atomic append, so records of concurrent
    // threads never interleave; opening anew each time survives a deleted file.
    const int fd = ::open(sLogFileNameNative.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    qint64 done = 0;
    while (done < record.size()) {
        const ssize_t n = ::write(fd, record.constData() + done, size_t(record.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
}
