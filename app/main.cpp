#include "AppEnv.h"
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
    return 0;
}
