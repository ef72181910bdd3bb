#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "AppScanner.h"
#include "hpSettings.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <utime.h>

namespace {

QStringList sLog;

void captureLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    sLog << msg;
}

} // namespace

class TestScanners : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;
    QString mRoot;  // the scanned folders live here
    QString mIcons; // the icon cache, with a trailing slash
    QByteArray mIcns;

    using Keys = QVariantMap;

    static void writeFile(const QString &path, const QByteArray &data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    static void writePlist(const QString &file, const Keys &keys)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QSettings plist(file, hpSettingsFormat());
        for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
            plist.setValue(it.key(), it.value());
    }

    // A bundle as the scanners expect it; an empty key list means no Info.plist.
    void makeBundle(const QString &path, const Keys &keys, const QString &iconFile = QString())
    {
        QDir().mkpath(path + QStringLiteral("/Contents/MacOS"));
        if (!keys.isEmpty())
            writePlist(path + QStringLiteral("/Contents/Info.plist"), keys);
        if (keys.contains(QStringLiteral("CFBundleExecutable")))
            writeFile(path + QStringLiteral("/Contents/MacOS/") + keys.value(QStringLiteral("CFBundleExecutable")).toString(), "#!/bin/sh\n");
        if (!iconFile.isEmpty())
            writeFile(path + QStringLiteral("/Contents/Resources/") + iconFile, mIcns);
    }

    // Empties the store and returns copies of what it held.
    static QList<AppInfo *> takeCatalogue()
    {
        QList<AppInfo *> copies;
        AppCenter::Inst()->getAppList(copies);
        for (int i = 0; i < copies.size(); ++i)
            AppCenter::Inst()->remove(0);
        return copies;
    }

    static QStringList field(const QList<AppInfo *> &apps, QString AppInfo::*member)
    {
        QStringList out;
        for (const AppInfo *info : apps)
            out << info->*member;
        return out;
    }

    static QStringList sipsLines()
    {
        QStringList out;
        for (const QString &line : qAsConst(sLog))
            if (line.startsWith(QLatin1String("sips ")))
                out << line;
        return out;
    }

    QString folder(const QString &name) const
    {
        const QString f = mRoot + QLatin1Char('/') + name + QLatin1Char('/');
        QDir().mkpath(f);
        return f;
    }

    static QString q(const QString &path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        const QString standins = qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/standins");
        qputenv("PATH", (standins + QLatin1Char(':') + qEnvironmentVariable("PATH")).toLocal8Bit());

        // One icon file of our own: a 128-pixel disc, as png2icns packs it.
        QImage disc(128, 128, QImage::Format_ARGB32);
        disc.fill(Qt::transparent);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                if ((x - 64) * (x - 64) + (y - 64) * (y - 64) < 50 * 50)
                    disc.setPixel(x, y, qRgba(20, 120, 200, 255));
        const QString png = mTmp.filePath(QStringLiteral("disc.png"));
        const QString icns = mTmp.filePath(QStringLiteral("disc.icns"));
        QVERIFY(disc.save(png));
        QCOMPARE(QProcess::execute(QStringLiteral("png2icns"), {icns, png}), 0);
        QFile f(icns);
        QVERIFY(f.open(QIODevice::ReadOnly));
        mIcns = f.readAll();
        qInstallMessageHandler(captureLog);
    }

    void init()
    {
        static int round = 0;
        ++round;
        mRoot = mTmp.filePath(QStringLiteral("world%1").arg(round));
        mIcons = mTmp.filePath(QStringLiteral("icons%1/").arg(round));
        QVERIFY(AppEnv::setEnv(envIconPath, mIcons));
        sLog.clear();
        QList<AppInfo *> left = takeCatalogue();
        AppCenter::Inst()->releaseAppList(left);
    }

    void appsWalkOneSubFolderLevel()
    {
        const QString apps = folder(QStringLiteral("Applications"));
        makeBundle(apps + QStringLiteral("Beta.app"), {{"CFBundleIdentifier", "com.example.Beta"}});
        makeBundle(apps + QStringLiteral("Alpha.app"), {{"CFBundleShortVersionString", "2.0"}});
        makeBundle(apps + QStringLiteral("Utilities/Tool.app"), {{"CFBundleName", "Tool"}});
        makeBundle(apps + QStringLiteral("Utilities/Deeper/Nested.app"), {{"CFBundleName", "Nested"}});
        writeFile(apps + QStringLiteral("Utilities/notes.txt"), "x");
        // Capital suffix: not an application, so walked as a folder.
        makeBundle(apps + QStringLiteral("CAPS.APP/Contents/Inner.app"), {{"CFBundleName", "Inner"}});
        makeBundle(apps + QStringLiteral("Shouting.APP"), {{"CFBundleName", "Shouting"}});
        makeBundle(apps + QStringLiteral("Zeta.app"), {});
        makeBundle(apps + QStringLiteral("lower.app"), {});
        makeBundle(apps + QStringLiteral(".Hidden.app"), {});
        writeFile(apps + QStringLiteral("readme.txt"), "x");
        QVERIFY(QFile::link(apps + QStringLiteral("Alpha.app"), apps + QStringLiteral("Linked.app")));

        QSignalSpy appended(AppCenter::Inst(), &AppCenter::dataAppend);
        findApps(apps);
        QList<AppInfo *> found = takeCatalogue();
        QStringList expected{
            QStringLiteral("Alpha.app"), QStringLiteral("Beta.app"), QStringLiteral("Linked.app"),
            QStringLiteral("Utilities/Tool.app"), QStringLiteral("Zeta.app"), QStringLiteral("lower.app"),
        };
        QStringList paths;
        for (const QString &rel : expected)
            paths << apps + rel;
        QCOMPARE(field(found, &AppInfo::path), paths);
        QCOMPARE(appended.count(), expected.size());
        QCOMPARE(field(found, &AppInfo::iconDir),
                 (QStringList{mIcons + "Alpha", mIcons + "Beta", mIcons + "Linked", mIcons + "Utilities/Tool",
                              mIcons + "Zeta", mIcons + "lower"}));
        // Applications are named by their folder, whatever CFBundleName says.
        QCOMPARE(field(found, &AppInfo::name), expected.replaceInStrings(QStringLiteral("Utilities/"), QString()));
        QCOMPARE(found.at(0)->version, QStringLiteral("2.0"));
        QCOMPARE(found.at(1)->bundleId, QStringLiteral("com.example.Beta"));
        for (const AppInfo *info : qAsConst(found)) {
            QCOMPARE(info->kind, 0);
            QCOMPARE(info->sizeState, 0);
            QCOMPARE(info->size, qint64(0));
        }
        QCOMPARE(found.at(4)->version, QString()); // no Info.plist
        AppCenter::Inst()->releaseAppList(found);
    }

    void capsFolderContributesItsApps()
    {
        // A ".APP" folder is one more sub-folder: its own .app entries count.
        const QString apps = folder(QStringLiteral("Applications"));
        makeBundle(apps + QStringLiteral("Odd.APP/Inner.app"), {});
        findApps(apps);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(field(found, &AppInfo::path), QStringList{apps + "Odd.APP/Inner.app"});
        QCOMPARE(found.first()->iconDir, mIcons + QStringLiteral("Odd.APP/Inner"));
        AppCenter::Inst()->releaseAppList(found);
    }

    void nameKeys_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("bundle");
        QTest::addColumn<QVariantMap>("keys");
        QTest::addColumn<QString>("name");
        const QVariantMap all{{"CrAppModeShortcutName", "Web Shortcut"}, {"CFBundleName", "Bundle Name"},
                              {"CFBundleDisplayName", "Display Name"}};
        QTest::newRow("app shortcut name") << 0 << "Site.app" << all << "Web Shortcut";
        QTest::newRow("app without shortcut") << 0 << "Site.app" << QVariantMap{{"CFBundleName", "B"}} << "Site.app";
        QTest::newRow("plug-in bundle name") << 2 << "Glimmer.plugin" << all << "Bundle Name";
        QTest::newRow("plug-in without name") << 2 << "Glimmer.plugin" << QVariantMap{{"CFBundleDisplayName", "D"}}
                                              << "Glimmer.plugin";
        QTest::newRow("widget display name") << 1 << "Dialface.wdgt" << all << "Display Name";
        QTest::newRow("widget without name") << 1 << "Dialface.wdgt" << QVariantMap{{"CFBundleName", "B"}}
                                             << "Dialface.wdgt";
    }

    void nameKeys()
    {
        QFETCH(int, kind);
        QFETCH(QString, bundle);
        QFETCH(QVariantMap, keys);
        QFETCH(QString, name);
        const QString dir = folder(QStringLiteral("scan"));
        if (kind == 1)
            writePlist(dir + bundle + QStringLiteral("/Info.plist"), keys);
        else
            makeBundle(dir + bundle, keys);
        kind == 0 ? findApps(dir) : kind == 1 ? findWidgets(dir) : findPlugins(dir);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->name, name);
        QCOMPARE(found.first()->kind, kind);
        AppCenter::Inst()->releaseAppList(found);
    }

    void pluginAndWidgetEntries()
    {
        const QString plugins = folder(QStringLiteral("Internet Plug-Ins"));
        for (const char *name : {"A.plugin", "B.webplugin", "C.prefPane", "D.PLUGIN", "E.bundle", "F.prefpane"})
            makeBundle(plugins + QLatin1String(name), {});
        makeBundle(plugins + QStringLiteral("Vendor/G.plugin"), {});
        const QString widgets = folder(QStringLiteral("Widgets"));
        for (const char *name : {"Dialface.wdgt", "Scribbles.WDGT", "Sub/Deep.wdgt"})
            writeFile(widgets + QLatin1String(name) + QStringLiteral("/Info.plist"), QByteArray());

        QSignalSpy appended(AppCenter::Inst(), &AppCenter::dataAppend);
        findPlugins(plugins);
        findWidgets(widgets);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(field(found, &AppInfo::path),
                 (QStringList{plugins + "A.plugin", plugins + "B.webplugin", plugins + "C.prefPane",
                              widgets + "Dialface.wdgt"}));
        QCOMPARE(appended.count(), 4);
        // The cache folder keeps the bundle suffix.
        QCOMPARE(field(found, &AppInfo::iconDir),
                 (QStringList{mIcons + "A.plugin", mIcons + "B.webplugin", mIcons + "C.prefPane",
                              mIcons + "Dialface.wdgt"}));
        AppCenter::Inst()->releaseAppList(found);
    }

    void iconSource_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("iconKey");   // value of CFBundleIconFile, or "-" for none
        QTest::addColumn<QString>("iconFile");  // the file placed in the bundle
        QTest::addColumn<QString>("source");    // relative to the bundle, or an absolute fallback
        const QString genericApp = QStringLiteral(
            "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/GenericApplicationIcon.icns");
        const QString kext = QStringLiteral("/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/KEXT.icns");
        const QString widget = QStringLiteral("/System/Library/CoreServices/Dock.app/Contents/Resources/"
                                              "DashboardClient.app/Contents/Resources/widget.icns");
        QTest::newRow("app, key with suffix") << 0 << "App.icns" << "App.icns" << "/Contents/Resources/App.icns";
        QTest::newRow("app, key without suffix") << 0 << "App" << "App.icns" << "/Contents/Resources/App.icns";
        QTest::newRow("app, capital suffix gets another") << 0 << "App.ICNS" << "App.ICNS.icns"
                                                          << "/Contents/Resources/App.ICNS.icns";
        QTest::newRow("app, no key") << 0 << "-" << "App.icns" << genericApp;
        QTest::newRow("app, missing file") << 0 << "Gone" << "App.icns" << genericApp;
        QTest::newRow("plug-in, key") << 2 << "Plug" << "Plug.icns" << "/Contents/Resources/Plug.icns";
        QTest::newRow("plug-in, missing file") << 2 << "Gone.icns" << "Plug.icns" << kext;
        QTest::newRow("widget, Icon.icns") << 1 << "-" << "Icon.icns" << "/Icon.icns";
        QTest::newRow("widget ignores the key") << 1 << "Mine.icns" << "Mine.icns" << widget;
    }

    void iconSource()
    {
        QFETCH(int, kind);
        QFETCH(QString, iconKey);
        QFETCH(QString, iconFile);
        QFETCH(QString, source);
        const QString dir = folder(QStringLiteral("scan"));
        const QString bundle = dir + (kind == 0 ? "Item.app" : kind == 1 ? "Item.wdgt" : "Item.plugin");
        QVariantMap keys{{"CFBundleIdentifier", "com.example.Item"}};
        if (iconKey != QLatin1String("-"))
            keys.insert(QStringLiteral("CFBundleIconFile"), iconKey);
        if (kind == 1) {
            writePlist(bundle + QStringLiteral("/Info.plist"), keys);
            writeFile(bundle + QLatin1Char('/') + iconFile, mIcns);
        } else {
            makeBundle(bundle, keys, iconFile);
        }
        kind == 0 ? findApps(dir) : kind == 1 ? findWidgets(dir) : findPlugins(dir);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(found.size(), 1);
        const QString iconDir = found.first()->iconDir;
        AppCenter::Inst()->releaseAppList(found);

        const QString full = source.startsWith(QLatin1String("/System")) ? source : bundle + source;
        const bool real = !source.startsWith(QLatin1String("/System"));
        const QString command = QStringLiteral("sips -s format png ") + q(full) + QStringLiteral(" --out ")
                                + q(iconDir + QStringLiteral("/icon_32x32.png"));
        const QStringList lines = sipsLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(command + QStringLiteral(" {ret:")), qPrintable(lines.first()));
        QCOMPARE(lines.first() == command + QStringLiteral(" {ret:0}"), real);
        QVERIFY(QFileInfo(iconDir).isDir());
        QCOMPARE(QImage(iconDir + QStringLiteral("/icon_32x32.png")).size(), real ? QSize(128, 128) : QSize(0, 0));
    }

    // A failed conversion: applications and plug-ins trust the folder and never
    // retry, widgets retry until the PNG exists.
    void conversionRepeat_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("secondRun");
        QTest::newRow("application") << 0 << 0;
        QTest::newRow("plug-in") << 2 << 0;
        QTest::newRow("widget") << 1 << 1;
    }

    void conversionRepeat()
    {
        QFETCH(int, kind);
        QFETCH(int, secondRun);
        const QString dir = folder(QStringLiteral("scan"));
        const QString bundle = dir + (kind == 0 ? "Item.app" : kind == 1 ? "Item.wdgt" : "Item.plugin");
        if (kind == 1)
            writePlist(bundle + QStringLiteral("/Info.plist"), {{"CFBundleName", "x"}});
        else
            makeBundle(bundle, {{"CFBundleIconFile", "none"}});
        const auto scanOnce = [&] {
            sLog.clear();
            kind == 0 ? findApps(dir) : kind == 1 ? findWidgets(dir) : findPlugins(dir);
            QList<AppInfo *> found = takeCatalogue();
            AppCenter::Inst()->releaseAppList(found);
            return sipsLines().size();
        };
        QCOMPARE(scanOnce(), 1); // the fallback icon is absent here, so sips fails
        QCOMPARE(scanOnce(), secondRun);

        // Once the PNG is there nothing is converted again, for every kind.
        const QString iconDir = mIcons + (kind == 0 ? "Item" : kind == 1 ? "Item.wdgt" : "Item.plugin");
        writeFile(iconDir + QStringLiteral("/icon_32x32.png"), "png");
        QCOMPARE(scanOnce(), 0);
    }

    void sameNameSharesIconFolder()
    {
        const QString system = folder(QStringLiteral("Applications"));
        const QString user = folder(QStringLiteral("Users/me/Applications"));
        makeBundle(system + QStringLiteral("Same.app"), {{"CFBundleIconFile", "A"}}, QStringLiteral("A.icns"));
        makeBundle(user + QStringLiteral("Same.app"), {{"CFBundleIconFile", "A"}}, QStringLiteral("A.icns"));
        findApps(system);
        findApps(user);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(field(found, &AppInfo::path), (QStringList{system + "Same.app", user + "Same.app"}));
        QCOMPARE(found.at(0)->iconDir, found.at(1)->iconDir);
        AppCenter::Inst()->releaseAppList(found);
        QCOMPARE(sipsLines().size(), 1);
        QVERIFY(sipsLines().first().contains(system + QStringLiteral("Same.app")));
    }

    // Names the shell would otherwise read as code stay one literal argument;
    // names outside Latin-1 reach the tools as the bytes on disk.
    void hostileAndForeignNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("double quote") << QStringLiteral("Say \"Hi\".app");
        QTest::newRow("dollar") << QStringLiteral("$(touch PWNED).app");
        QTest::newRow("backquote") << QStringLiteral("`touch PWNED`.app");
        QTest::newRow("semicolon") << QStringLiteral("a;touch PWNED;b.app");
        QTest::newRow("backslash") << QStringLiteral("back\\\" ; touch PWNED.app");
        QTest::newRow("single quote") << QStringLiteral("It's.app");
        QTest::newRow("latin-1 letters") << QStringLiteral("Caf\u00e9 R\u00e9sum\u00e9.app");
        QTest::newRow("beyond latin-1") << QStringLiteral("\u65e5\u672c\u8a9e \u0420\u0443\u0441.app");
    }

    void hostileAndForeignNames()
    {
        QFETCH(QString, name);
        const QString dir = folder(QStringLiteral("Applications"));
        makeBundle(dir + name, {{"CFBundleIconFile", "AppIcon"}}, QStringLiteral("AppIcon.icns"));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(mRoot);
        findApps(dir);
        QDir::setCurrent(cwd);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->name, name);
        QString stem = name;
        stem.chop(4);
        QCOMPARE(found.first()->iconDir, mIcons + stem);
        AppCenter::Inst()->releaseAppList(found);
        QCOMPARE(QImage(mIcons + stem + QStringLiteral("/icon_32x32.png")).size(), QSize(128, 128));
        QCOMPARE(QDir(mIcons).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{stem});
        QVERIFY(!QFileInfo::exists(mRoot + QStringLiteral("/PWNED")));
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("PWNED")));
    }

    // Our own bundle as the catalogue finds it: its row shows the icon
    // Info.plist names, converted in colour, where a missing or unreadable
    // one would leave the grey generic square.
    void ownBundleIcon()
    {
        const QString built = qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/Kestrelsweep.app/Contents/");
        const QString dir = folder(QStringLiteral("Applications"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("Kestrelsweep.app/Contents/Resources")));
        for (const char *file : {"Info.plist", "Resources/Kestrelsweep.icns"})
            QVERIFY(QFile::copy(built + QLatin1String(file), dir + QStringLiteral("Kestrelsweep.app/Contents/") + QLatin1String(file)));
        findApps(dir);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(found.size(), 1);
        const QImage icon(found.first()->iconDir + QStringLiteral("/icon_32x32.png"));
        AppCenter::Inst()->releaseAppList(found);
        QCOMPARE(icon.size(), QSize(1024, 1024));
        const QColor side = icon.pixelColor(120, 512);
        QVERIFY2(side.hsvSaturation() > 128 && side.hsvHue() >= 10 && side.hsvHue() <= 40, qPrintable(side.name()));
    }

    // Times are shown in the local zone, daylight saving included.
    void binaryPlistAndTimes_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("read");
        QTest::addColumn<QDateTime>("modified");

        const QDateTime winter(QDate(2020, 12, 31), QTime(23, 59, 58));
        const QDateTime summer(QDate(2021, 7, 4), QTime(5, 6, 7));
        QTest::newRow("UTC") << QByteArray("UTC") << summer << winter;
        QTest::newRow("Berlin, summer and winter") << QByteArray("Europe/Berlin") << summer << winter;
        QTest::newRow("New York") << QByteArray("America/New_York") << winter << summer;
        QTest::newRow("Kolkata, half hours") << QByteArray("Asia/Kolkata") << summer << winter;
        QTest::newRow("before 1970") << QByteArray("Europe/Berlin") << QDateTime(QDate(1969, 7, 21), QTime(3, 56, 0))
                                     << winter;
    }

    void binaryPlistAndTimes()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, read);
        QFETCH(QDateTime, modified);
        const QByteArray oldZone = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        // The wall-clock times are meant in the zone under test.
        read = QDateTime(read.date(), read.time(), Qt::LocalTime);
        modified = QDateTime(modified.date(), modified.time(), Qt::LocalTime);

        const QString dir = folder(QStringLiteral("Applications"));
        const QString bundle = dir + QStringLiteral("Bin.app");
        QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS"));
        QCOMPARE(QProcess::execute(QStringLiteral("python3"),
                                   {QStringLiteral("-c"),
                                    QStringLiteral("import plistlib,sys; plistlib.dump({'CFBundleShortVersionString':"
                                                   "'3.1','CFBundleExecutable':'Bin','NSHumanReadableCopyright':"
                                                   "'\u00a9 Us','CFBundleIdentifier':'com.example.Bin'}, "
                                                   "open(sys.argv[1],'wb'), fmt=plistlib.FMT_BINARY)"),
                                    bundle + QStringLiteral("/Contents/Info.plist")}),
                 0);
        const QString exe = bundle + QStringLiteral("/Contents/MacOS/Bin");
        writeFile(exe, "x");
        struct utimbuf exeTimes = {read.toSecsSinceEpoch(), read.toSecsSinceEpoch()};
        struct utimbuf bundleTimes = {modified.toSecsSinceEpoch(), modified.toSecsSinceEpoch()};
        QCOMPARE(utime(QFile::encodeName(exe).constData(), &exeTimes), 0);
        QCOMPARE(utime(QFile::encodeName(bundle).constData(), &bundleTimes), 0);

        findApps(dir);
        QList<AppInfo *> found = takeCatalogue();
        QCOMPARE(found.size(), 1);
        const AppInfo *info = found.first();
        QCOMPARE(info->version, QStringLiteral("3.1"));
        QCOMPARE(info->bundleId, QStringLiteral("com.example.Bin"));
        QCOMPARE(info->notice, QStringLiteral("\u00a9 Us"));
        const QString format = QStringLiteral("dd/MM/yyyy HH:mm:ss");
        QCOMPARE(info->lastOpenTime, read.toString(format));
        QCOMPARE(info->modifyTime, modified.toString(format));
        AppCenter::Inst()->releaseAppList(found);
        if (oldZone.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", oldZone);
        tzset();
    }

    // The image tool reads only regular files (through links too) and refuses
    // images over 1024 pixels a side, like a conversion that failed.
    void sipsReadsOnlySafeImages_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("converted");
        const auto png = [](int side) {
            QImage image(side, side, QImage::Format_ARGB32);
            image.fill(qRgba(200, 40, 40, 255));
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            return bytes;
        };
        const auto be32 = [](int n) { return QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n); };
        const auto entry = [&](const char *type, const QByteArray &data) { return type + be32(8 + data.size()) + data; };
        const auto icnsOf = [&](const QByteArray &entries) { return "icns" + be32(8 + entries.size()) + entries; };
        const auto icns = [&](const QByteArray &member) { return icnsOf(entry("ic10", member)); };
        const QString dir = mTmp.filePath(QStringLiteral("sips/"));
        QDir().mkpath(dir);
        writeFile(dir + "icon.icns", mIcns);
        writeFile(dir + "edge.icns", png(1024));
        writeFile(dir + "big.png", png(2048));
        writeFile(dir + "member.icns", icns(png(2048)));
        writeFile(dir + "many.icns", icnsOf(entry("ic10", png(64)) + entry("ic07", png(1)).repeated(2000)));
        writeFile(dir + "broken.icns", icnsOf(entry("ic10", png(64)) + entry("tile", "ic10" + be32(99) + "xx")));
        QFile::link(dir + "icon.icns", dir + "link.icns");
        for (const char *name : {"fifo.icns", "fifo.png"})
            mkfifo(QFile::encodeName(dir + QLatin1String(name)).constData(), 0644);
        QFile::link(dir + "fifo.icns", dir + "fifolink.icns");
        QTest::newRow("icon file") << dir + "icon.icns" << dir + "1.png" << true;
        QTest::newRow("link to the icon") << dir + "link.icns" << dir + "2.png" << true;
        QTest::newRow("1024 pixels a side, named .icns") << dir + "edge.icns" << dir + "3.png" << true;
        QTest::newRow("2048 pixels a side") << dir + "big.png" << dir + "4.png" << false;
        QTest::newRow("ICNS member of 2048 pixels") << dir + "member.icns" << dir + "5.png" << false;
        QTest::newRow("ICNS of 2000 members") << dir + "many.icns" << dir + "8.png" << false;
        QTest::newRow("ICNS with a broken entry list") << dir + "broken.icns" << dir + "9.png" << false;
        QTest::newRow("FIFO") << dir + "fifo.icns" << dir + "6.png" << false;
        QTest::newRow("link to a FIFO") << dir + "fifolink.icns" << dir + "7.png" << false;
        QTest::newRow("FIFO to write") << dir + "icon.icns" << dir + "fifo.png" << false;
    }

    void sipsReadsOnlySafeImages()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, converted);
        QProcess sips;
        sips.start(QStringLiteral("sips"), {"-s", "format", "png", source, "--out", target});
        // The limit only ends the wait for a tool that blocks.
        QVERIFY(sips.waitForFinished(60000));
        QCOMPARE(sips.exitCode() == 0, converted);
        if (converted)
            QVERIFY(!QImage(target).isNull());
    }
};

QTEST_MAIN(TestScanners)
#include "tst_scanners.moc"
