#include "ReinstallHelper.h"

#include "hpChannel.h"
#include "hpParam.h"
#include "hpRequest.h"
#include "hpServer.h"
#include "hpSpawn.h"

#include <QDebug>
#include <QFile>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

ReinstallHelper::ReinstallHelper(HpParam *param)
    : m_paramArray(param)
    , m_databuf(param ? param->databuf : nullptr)
{
}

ReinstallHelper::~ReinstallHelper()
{
    qDebug("ReinstallHelper::~ReinstallHelper start\n");
    free(m_databuf);
    m_databuf = nullptr;
    free(m_paramArray);
    m_paramArray = nullptr;
    qDebug("ReinstallHelper::~ReinstallHelper end\n");
}

void ReinstallHelper::run()
{
    qDebug("ReinstallHelper::run start\n");
    const QByteArray text(m_databuf, m_paramArray->size);
    const QByteArray command = text.mid(11);
    qDebug("%s begin\n ", hpLogSafe(command).constData());

    // The service runs no command text it is sent: only the installer, on a
    // package the application mounted.
    const HpRequest req = hpParseReinstall(text);
    if (req.kind != HpRequest::Reinstall) {
        qDebug("reinstall refused: %s\n", hpLogSafe(req.reason.toUtf8(), -1).constData());
        return;
    }
    struct stat st;
    if (lstat(hpMountFolder, &st) != 0 || !S_ISDIR(st.st_mode)) {
        qDebug("reinstall refused: %s is not a folder\n", hpMountFolder);
        return;
    }
    if (lstat(QFile::encodeName(req.package).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        qDebug("reinstall refused: %s is not a regular file\n", hpLogSafe(req.package.toUtf8(), -1).constData());
        return;
    }

    QStringList argv;
    if (geteuid() != 0)
        argv << QStringLiteral("sudo") << QStringLiteral("-n");
    argv << QStringLiteral("installer") << QStringLiteral("-verboseR") << QStringLiteral("-pkg") << req.package
         << QStringLiteral("-target") << QStringLiteral("/");
    const int rc = hpSpawn(argv, 30000);
    qDebug("%s end\n ", hpLogSafe(command).constData());
    qDebug("installer exit status %d\n", rc);

    qDebug("send quit message to client\n");
    const int sent = hpServerSend("quit", 4);
    qDebug("send quit message (%d bytes)\n", sent);
    qDebug("exiting\n");
    // Ends the process from this thread without running static destructors
    // under the feet of the sleeping main thread.
    _exit(0);
}
