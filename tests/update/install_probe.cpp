// The update from download to relaunch, for tests inside tools/sandbox:
//   install_probe IMAGE VERSION SIGNATURE KEYHEX
// Serves IMAGE on loopback, runs the download dialog on it with the
// version page's VERSION and SIGNATURE (Base64), trusting KEYHEX, presses
// "Install and relaunch" once it is offered, and prints:
//   box <texts>        every message box (answered with Ok)
//   closed             the dialog closed without a relaunch
//   relaunched <args>  the relaunched copy started (it only records itself)
#include "AppEnv.h"
#include "DownloadDlg.h"
#include "LocalHttpServer.h"
#include "MsgDlg.h"
#include "Probe.h"
#include "hpHarden.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {
const char kRelaunchLog[] = "/tmp/relaunch.log";

using probe::print;

} // namespace

int main(int argc, char *argv[])
{
    hpHardenProcess();
    // The relaunch passes the whole argument list, program included.
    if (argc >= 2 && qstrcmp(argv[0], argv[1]) == 0) {
        QFile log(QString::fromLatin1(kRelaunchLog));
        if (!log.open(QIODevice::Append))
            return 1;
        QByteArray line;
        for (int i = 1; i < argc; ++i)
            line += QByteArray(argv[i]) + ' ';
        log.write(line.trimmed() + '\n');
        return 0;
    }
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: install_probe IMAGE VERSION SIGNATURE KEYHEX\n");
        return 2;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("vextora"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrelsweep"));
    qputenv("KS_TEST_UPDATE_PUBKEY", argv[4]);
    // A home where the application has run before: its data folder exists.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::DataLocation));
    if (!AppEnv::initPaths())
        return 3;
    // The running version is the installed bundle's, as if this were it.
    if (!AppEnv::setEnv(envInfoPlist, QStringLiteral("/Applications/Kestrelsweep.app/Contents/Info.plist")))
        return 3;
    QFile image(QString::fromLocal8Bit(argv[1]));
    if (!image.open(QIODevice::ReadOnly))
        return 4;
    LocalHttpServer server;
    LocalHttpServer::Response response;
    response.body = image.readAll();
    server.serve(QStringLiteral("/dl/Kestrelsweep-new.dmg"), response);
    if (!server.listen())
        return 5;
    probe::DialogAnswerer boxes;
    boxes.onShow = [](QWidget *window) {
        if (qobject_cast<MsgDlg *>(window))
            print(QStringLiteral("box\t") + probe::labelTexts(window).join(QLatin1Char('|')));
        return false;
    };

    bool relaunching = false;
    DownloadDlg::closeSubWidgets = [&] { relaunching = true; };
    QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, server.url(QStringLiteral("/dl/Kestrelsweep-new.dmg")),
                                                QString::fromLatin1(argv[2]), QByteArray(argv[3]));
    QObject::connect(dlg, &QObject::destroyed, &app, [&] {
        if (!relaunching) {
            print(QStringLiteral("closed"));
            app.quit();
        }
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *install = dlg ? dlg->findChild<QPushButton *>(QStringLiteral("pushButtonInstall")) : nullptr;
        if (install && install->isVisible()) {
            poll.stop();
            install->click();
        }
    });
    poll.start(20);
    dlg->show();
    app.exec();
    if (!relaunching)
        return 0;
    // The sandbox ends with this process: wait for the new copy to say it ran.
    for (int i = 0; i < 600; ++i) {
        QFile log(QString::fromLatin1(kRelaunchLog));
        if (log.open(QIODevice::ReadOnly)) {
            const QByteArray line = log.readLine().trimmed();
            if (!line.isEmpty()) {
                print(QStringLiteral("relaunched\t") + QString::fromLocal8Bit(line));
                return 0;
            }
        }
        QThread::msleep(50);
    }
    print(QStringLiteral("no relaunch"));
    return 0;
}
