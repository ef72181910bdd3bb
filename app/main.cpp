#include "AppEnv.h"
#include "CommandLine.h"
#include "CrashDlg.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "MsgDlg.h"
#include "hpHarden.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
    hpHardenProcess();
    if (CommandLine::wanted(argc, argv)) {
        // No window, so no display needed: a core application only.
        QCoreApplication app(argc, argv);
        if (!AppEnv::init()) {
            const QString text = QCoreApplication::translate(
                "main", "Kestrelsweep cannot start: the path of one of its folders is missing or too long.");
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
            return 1;
        }
        return CommandLine::run(app.arguments());
    }

    QApplication app(argc, argv);
    if (!AppEnv::init()) {
        // Going on would put the data, the caches and the log at "/".
        const QString text = QCoreApplication::translate(
            "main", "Kestrelsweep cannot start: the path of one of its folders is missing or too long.");
        MsgDlg::warning(nullptr, QString::fromUtf8(envAppName), text, QMessageBox::Yes);
        return 1;
    }

    if (argc >= 2 && qstrcmp(argv[1], "-crasher") == 0) {
        // Started by the crash trap: the reporter is the whole program.
        CrashDlg crashDlg;
        crashDlg.show();
        return app.exec();
    }

    qDebug(" MainWindow mainWnd\n");
    MainWindow mainWnd;
    qDebug("MainWidget* mainWidget = new MainWidget(); begin\n");
    auto *mainWidget = new MainWidget();
    mainWnd.setMainWidget(mainWidget);
    mainWnd.show();
    qDebug("MainWidget* mainWidget = new MainWidget(); end\n");
    return app.exec();
}
