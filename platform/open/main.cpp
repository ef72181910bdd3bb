// Stand-in for the macOS "open" command, for the forms the application uses:
//   open [-F] [-n] PATH [--args ARG...]
//   open -R PATH
// A bundle (a folder with Contents/MacOS) has its executable started
// detached with the arguments; a plain file is recorded in $TMPDIR/open.log,
// standing for the program that would show it, and -R PATH as "-R PATH",
// standing for the file manager showing it, bundle or not.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool reveal = args.size() == 2 && args.first() == QLatin1String("-R");
    if (reveal)
        args.removeFirst();
    while (!args.isEmpty() && (args.first() == QLatin1String("-F") || args.first() == QLatin1String("-n")))
        args.removeFirst();
    if (args.isEmpty() || (args.size() > 1 && args.at(1) != QLatin1String("--args"))) {
        std::fprintf(stderr, "usage: open [-F] [-n] PATH [--args ARG...] | open -R PATH\n");
        return 2;
    }
    const QString path = QFileInfo(args.first()).absoluteFilePath();
    const QStringList extra = args.mid(2);
    const QFileInfo info(path);
    if (!info.exists()) {
        std::fprintf(stderr, "The file %s does not exist.\n", qPrintable(path));
        return 1;
    }
    if (info.isDir() && !reveal) {
        const QString macos = path + QStringLiteral("/Contents/MacOS");
        const QStringList exes = QDir(macos).entryList(QDir::Files | QDir::Executable, QDir::Name);
        if (exes.isEmpty() || !QProcess::startDetached(macos + QLatin1Char('/') + exes.first(), extra)) {
            std::fprintf(stderr, "open: cannot start %s\n", qPrintable(path));
            return 1;
        }
        return 0;
    }
    const QString tmp = qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp"));
    QFile log(tmp + QStringLiteral("/open.log"));
    const QByteArray line = (reveal ? QByteArray("-R ") : QByteArray()) + QFile::encodeName(path) + '\n';
    if (!log.open(QIODevice::Append) || log.write(line) < 0) {
        std::fprintf(stderr, "open: cannot record %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
