#include "SingleInst.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInst::SingleInst(const QString &key, const QString &folder)
{
    qDebug("SingleInst::SingleInst\n");
    const QByteArray lockFile = QFile::encodeName(folder + QLatin1Char('/') + key + QStringLiteral(".lock"));
    qDebug("lock %s\n", lockFile.constData());
    m_lockFd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0) {
        // Without the lock a second copy could start, but it finds the port
        // taken and serves nothing; running beats not running.
        qDebug("error\n");
        return;
    }
    if (flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
        return;
    if (errno == EWOULDBLOCK) {
        m_alreadyExists = true;
        qDebug("lock held by another copy\n");
    } else {
        qDebug("error\n");
    }
    ::close(m_lockFd);
    m_lockFd = -1;
}

SingleInst::~SingleInst()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}
