// Linked into every test: before main runs, HOME and the XDG folders point into
// a temporary folder of the process, removed at its end. So no test, nor the
// code it drives, can reach the real user's folders, whoever starts it and
// however (ctest, a shell, a debugger).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

struct TestHome {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/ks-testhome-XXXXXX")};

    TestHome()
    {
        if (!dir.isValid()) {
            std::fprintf(stderr, "no temporary home folder: %s\n", qPrintable(dir.errorString()));
            std::abort();
        }
        const QByteArray home = QFile::encodeName(dir.path());
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", home + "/.local/share");
        qputenv("XDG_CONFIG_HOME", home + "/.config");
        qputenv("XDG_CACHE_HOME", home + "/.cache");
    }
};

const TestHome sTestHome;

} // namespace
