// The crash reporter's report finder as the crash-reporter instance runs it,
// for tests inside tools/sandbox. Prints the name and then the report's content.
#include "AppEnv.h"
#include "CrashDlg.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    AppEnv::setEnv(envAppName, QStringLiteral("Kestrelsweep"));
    AppEnv::setEnv(envDataPath, QStringLiteral("/Users/tester/data"));
    CrashDlg dlg;
    QByteArray data;
    const QString name = dlg.getCrashData(data);
    std::printf("%s\n%s", qPrintable(name), qUncompress(data).constData());
    return 0;
}
