// Stand-in for the macOS "defaults" command, for the forms the application uses:
//   defaults write DOMAIN KEY VALUE
//   defaults read DOMAIN KEY
// The domain's preferences are ~/Library/Preferences/DOMAIN.plist, in the
// system's property-list format; values are strings.
#include "hpSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool write = args.size() == 4 && args.at(0) == QLatin1String("write");
    const bool read = args.size() == 3 && args.at(0) == QLatin1String("read");
    if (!write && !read) {
        std::fprintf(stderr, "usage: defaults write DOMAIN KEY VALUE | defaults read DOMAIN KEY\n");
        return 2;
    }
    const QString domain = args.at(1);
    // The domain names a file in the preferences folder and nothing else.
    if (domain.isEmpty() || domain.contains(QLatin1Char('/')) || domain.startsWith(QLatin1Char('.'))) {
        std::fprintf(stderr, "defaults: bad domain: %s\n", qPrintable(domain));
        return 2;
    }
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        std::fprintf(stderr, "defaults: no home folder\n");
        return 1;
    }
    const QString folder = home + QStringLiteral("/Library/Preferences");
    const QString file = folder + QLatin1Char('/') + domain + QStringLiteral(".plist");
    if (read) {
        const QSettings settings(file, hpSettingsFormat());
        if (!QFileInfo::exists(file) || !settings.contains(args.at(2))) {
            std::fprintf(stderr, "The domain/default pair of (%s, %s) does not exist\n", qPrintable(domain),
                         qPrintable(args.at(2)));
            return 1;
        }
        std::printf("%s\n", settings.value(args.at(2)).toString().toUtf8().constData());
        return 0;
    }
    QDir().mkpath(folder);
    QSettings settings(file, hpSettingsFormat());
    settings.setValue(args.at(2), args.at(3));
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        std::fprintf(stderr, "defaults: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
