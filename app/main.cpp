#include "AppEnv.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "MsgDlg.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!AppEnv::init()) {
        // Going on would put the data, the caches and the log at "/".
        const QString text = QCoreApplication::translate(
            "main", "Kestrelsweep cannot start: the path of one of its folders is missing or too long.");
        MsgDlg::warning(nullptr, QString::fromUtf8(envAppName), text, QMessageBox::Yes);
        return 1;
    }

    if (argc >= 2 && qstrcmp(argv[1], "-crasher") == 0) {
        // The crash reporter's own window runs here, without a main window.
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
