#include "MainThread.h"
#include "ReinstallHelper.h"
#include "SingleInst.h"
#include "hpPeerCheck.h"
#include "hpServer.h"
#include "hpSignature.h"
#include "hpUtils.h"

#include <QDebug>
#include <QFileInfo>
#include <QStringList>

namespace {
const QString envLogPath = QStringLiteral("/usr/local/Kestrelsweep");
const QString uniqueKey = QStringLiteral("com.vextora.Kestrelsweep.singleInstKey");
const char sGenuineApp[] = "/Applications/Kestrelsweep.app/Contents/MacOS/Kestrelsweep";
} // namespace

int main(int argc, char *argv[])
{
    hpLogInit(envLogPath);
    qDebug("------------Kestrelsweep Service (%d, %s)-------------\n", argc, argv[0]);

    // Only the launch definition, which root owns, can widen the trusted set.
    QStringList trusted{QString::fromLatin1(sGenuineApp)};
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--trust") && i + 1 < argc) {
            const QString path = QString::fromLocal8Bit(argv[++i]);
            trusted << path;
            const QString real = QFileInfo(path).canonicalFilePath();
            if (!real.isEmpty() && real != path)
                trusted << real;
        } else if (arg == QLatin1String("--admin-group") && i + 1 < argc) {
            bool ok = false;
            const uint gid = QByteArray(argv[++i]).toUInt(&ok);
            if (ok)
                hpPeerSetAdminGroup(gid);
            else
                qDebug("ignored admin group %s: not a number\n", argv[i]);
        } else if (arg == QLatin1String("--update-key") && i + 1 < argc) {
            // A key that does not parse trusts nothing rather than falling
            // back silently: every update is then refused, and the log says why.
            const QByteArray key = hpPublicKeyFromHex(QByteArray(argv[++i]));
            if (key.isEmpty())
                qDebug("update key is not 64 hex digits: every update will be refused\n");
            else
                qDebug("update key %s\n", key.toHex().constData());
            ReinstallHelper::setUpdateKey(key);
        } else if (arg == QLatin1String("--installer") && i + 1 < argc) {
            // An absolute path, so that no search path picks the program.
            const QString path = QString::fromLocal8Bit(argv[++i]);
            if (path.startsWith(QLatin1Char('/')))
                ReinstallHelper::setInstaller(path);
            else
                qDebug("ignored installer %s: not an absolute path\n", argv[i]);
        } else {
            qDebug("ignored argument %s\n", argv[i]);
        }
    }
    qDebug("administrators: group %u\n", hpPeerAdminGroup());
    for (const QString &t : qAsConst(trusted))
        qDebug("trusted %s\n", t.toLocal8Bit().constData());

    SingleInst app(uniqueKey, envLogPath);
    if (app.alreadyExists()) {
        qDebug("app.alreadyExists() we exiting\n");
        return 1;
    }
    hpServerSetTrusted(trusted);

    MainThread *thread = new MainThread;
    thread->start(QThread::InheritPriority);
    for (;;)
        QThread::msleep(1000000);
}
