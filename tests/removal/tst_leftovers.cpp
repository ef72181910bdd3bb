// The leftover finder over a Library laid out in a temporary folder: which
// names count as a deleted application's, and how they group.
#include "LeftoverFinder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2048, 'x'));
}

void writeInfo(const QString &bundle, const QString &id)
{
    touch(bundle + QStringLiteral("/Contents/Info.plist"));
    QFile plist(bundle + QStringLiteral("/Contents/Info.plist"));
    QVERIFY(plist.open(QIODevice::WriteOnly | QIODevice::Truncate));
    plist.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                "<key>CFBundleIdentifier</key><string>" + id.toUtf8() + "</string></dict></plist>\n");
}

} // namespace

class TestLeftovers : public QObject
{
    Q_OBJECT

private slots:
    void identifierOf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("preferences file") << "com.tideware.Tide.plist" << "com.tideware.Tide";
        QTest::newRow("saved state") << "com.tideware.Tide.savedState" << "com.tideware.Tide";
        QTest::newRow("helper keeps its part") << "com.tideware.Tide.helper" << "com.tideware.Tide.helper";
        QTest::newRow("maker's own file") << "com.tideware.plist" << "";
        QTest::newRow("folder name") << "Tide.Pro.Data" << "";
        QTest::newRow("space in a part") << "com.tide ware.Tide" << "";
        QTest::newRow("stops before a foreign part") << "org.quill.Ink.2 copy.plist" << "org.quill.Ink";
        QTest::newRow("bare word") << "Tide" << "";
        QTest::newRow("application group") << "group.com.tideware.Tide.plist" << "com.tideware.Tide";
    }

    void identifierOf()
    {
        QFETCH(QString, name);
        QFETCH(QString, identifier);
        QCOMPARE(LeftoverFinder::identifierOf(name), identifier);
    }

    // One Library, every kind of claim beside the leftovers of two deleted
    // applications: only those two appear, each with exactly its entries.
    void findsOnlyWhatNothingInstalledClaims()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString lib = home.path() + QStringLiteral("/Library/");
        const QString prefs = lib + QStringLiteral("Preferences/");
        const QString caches = lib + QStringLiteral("Caches/");
        const QString support = lib + QStringLiteral("Application Support/");
        // Deleted: Tide (two entries across folders) and Ink (a helper's too).
        touch(prefs + QStringLiteral("com.tideware.Tide.plist"));
        touch(caches + QStringLiteral("com.tideware.Tide/Cache.db"));
        touch(prefs + QStringLiteral("org.quill.Ink.plist"));
        touch(prefs + QStringLiteral("org.quill.Ink.helper.plist"));
        // Installed maker: another of its applications is still there.
        touch(prefs + QStringLiteral("net.lumen.OldTool.plist"));
        // Apple's, in any case.
        touch(prefs + QStringLiteral("com.apple.dock.plist"));
        touch(prefs + QStringLiteral("COM.Apple.Finder.plist"));
        // Named only by a helper inside an installed bundle.
        touch(support + QStringLiteral("io.agentco.sync"));
        // Not reverse-DNS at all.
        touch(support + QStringLiteral("Tide"));

        const QString apps = home.path() + QStringLiteral("/Applications/");
        writeInfo(apps + QStringLiteral("Lumen.app"), QStringLiteral("net.lumen.Lumen"));
        writeInfo(apps + QStringLiteral("Lumen.app/Contents/Library/LoginItems/Sync.app"), QStringLiteral("io.agentco.sync"));

        QStringList claims = LeftoverFinder::bundleClaims(apps + QStringLiteral("Lumen.app"));
        claims.sort();
        QCOMPARE(claims, (QStringList{"io.agentco.sync", "net.lumen.Lumen"}));

        LeftoverFinder finder(claims, home.path());
        for (const auto &folder : {LeftoverFinder::Folder{QStringLiteral("Preferences"), prefs},
                                   LeftoverFinder::Folder{QStringLiteral("Caches"), caches},
                                   LeftoverFinder::Folder{QStringLiteral("Application Support"), support},
                                   LeftoverFinder::Folder{QStringLiteral("Missing"), lib + QStringLiteral("Nowhere/")}})
            finder.scan(folder);

        QStringList found;
        for (const LeftoverFinder::Group &group : finder.groups()) {
            QStringList entries;
            for (const LeftoverFinder::Entry &entry : group.entries)
                entries << entry.label + QLatin1Char('/') + entry.name;
            found << group.identifier + QLatin1Char('=') + entries.join(QLatin1Char(','));
            QVERIFY(group.kib() > 0);
        }
        QCOMPARE(found, (QStringList{
                            "com.tideware.Tide=Preferences/com.tideware.Tide.plist,Caches/com.tideware.Tide",
                            "org.quill.Ink=Preferences/org.quill.Ink.helper.plist,Preferences/org.quill.Ink.plist",
                        }));
    }
};

QTEST_MAIN(TestLeftovers)
#include "tst_leftovers.moc"
