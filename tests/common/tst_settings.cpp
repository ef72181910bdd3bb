#include "hpPlistRead.h"
#include "hpSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;

    static bool writeFile(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Binary property lists are made by an independent writer.
    static bool writeBinaryPlist(const QString &path, const QString &pythonDict)
    {
        QProcess py;
        py.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import plistlib,sys,datetime\n"
                                 "plistlib.dump(%1, open(sys.argv[1],'wb'), fmt=plistlib.FMT_BINARY)")
                      .arg(pythonDict),
                  path});
        return py.waitForFinished(30000) && py.exitCode() == 0;
    }

    static QByteArray bigEndian(quint64 v, int bytes)
    {
        QByteArray b;
        for (int i = bytes - 1; i >= 0; --i)
            b += char(v >> (8 * i));
        return b;
    }

    // Binary property list built by hand, to say exactly what the object table
    // holds: object 0 is the top, references are refSize bytes, and `gap` zero
    // bytes sit unreferenced before the offset table.
    static QByteArray binaryPlist(const QVector<QByteArray> &objects, int refSize, int gap = 0)
    {
        QByteArray out("bplist00"), offsets;
        for (const QByteArray &object : objects) {
            offsets += bigEndian(quint64(out.size()), 4);
            out += object;
        }
        const quint64 table = quint64(out.size() + gap);
        out += QByteArray(gap, '\0') + offsets + QByteArray(6, '\0') + char(4) + char(refSize);
        return out + bigEndian(quint64(objects.size()), 8) + bigEndian(0, 8) + bigEndian(table, 8);
    }

    static const char *infoXml()
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n<dict>\n"
               "\t<key>CFBundleShortVersionString</key>\n\t<string>2.4.1</string>\n"
               "\t<key>CFBundleIdentifier</key>\n\t<string>com.example.Sample</string>\n"
               "\t<key>CFBundleName</key>\n\t<string>Caf\xc3\xa9 \xe6\x97\xa5</string>\n"
               "\t<!-- <key>Retired</key><string>1</string> -->\n"
               "\t<key>LSRequiresNativeExecution</key>\n\t<true/>\n"
               "\t<key>Count</key>\n\t<integer>-42</integer>\n"
               "\t<key>CFBundleDocumentTypes</key>\n\t<array>\n\t\t<dict>\n\t\t\t<key>CFBundleTypeName</key>\n"
               "\t\t\t<string>Doc</string>\n\t\t</dict>\n\t</array>\n"
               "</dict>\n</plist>\n";
    }

private slots:
    void readsInfoPlist_data()
    {
        QVERIFY(mTmp.isValid());
        QTest::addColumn<QString>("file");
        const QString xml = mTmp.filePath(QStringLiteral("xml.plist"));
        QVERIFY(writeFile(xml, infoXml()));
        const QString bin = mTmp.filePath(QStringLiteral("bin.plist"));
        QVERIFY(writeBinaryPlist(bin, QStringLiteral(
            "{'CFBundleShortVersionString':'2.4.1','CFBundleIdentifier':'com.example.Sample',"
            "'CFBundleName':'Caf\\u00e9 \\u65e5','LSRequiresNativeExecution':True,'Count':-42,"
            "'CFBundleDocumentTypes':[{'CFBundleTypeName':'Doc'}]}")));
        QVERIFY(readFile(bin).startsWith("bplist00"));
        QTest::newRow("xml") << xml;
        QTest::newRow("binary") << bin;
    }

    void readsInfoPlist()
    {
        QFETCH(QString, file);
        QSettings s(file, hpSettingsFormat());
        QCOMPARE(s.status(), QSettings::NoError);
        QCOMPARE(s.value(QStringLiteral("CFBundleShortVersionString")).toString(), QStringLiteral("2.4.1"));
        QCOMPARE(s.value(QStringLiteral("CFBundleIdentifier")).toString(), QStringLiteral("com.example.Sample"));
        QCOMPARE(s.value(QStringLiteral("CFBundleName")).toString(), QStringLiteral("Caf\u00e9 \u65e5"));
        QCOMPARE(s.value(QStringLiteral("LSRequiresNativeExecution")).toBool(), true);
        QCOMPARE(s.value(QStringLiteral("Count")).toLongLong(), qint64(-42));
        const QVariantList types = s.value(QStringLiteral("CFBundleDocumentTypes")).toList();
        QCOMPARE(types.size(), 1);
        QCOMPARE(types.first().toMap().value(QStringLiteral("CFBundleTypeName")).toString(), QStringLiteral("Doc"));
        QCOMPARE(s.value(QStringLiteral("Missing")).toString(), QString());
    }

    void badFilesReadEmpty_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\x00\x01\x02 not a plist", 16);
        QTest::newRow("truncated xml") << QByteArray(infoXml()).left(200);
        QTest::newRow("top level is an array")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
        QTest::newRow("binary header only") << QByteArray("bplist00");
        QTest::newRow("binary cut short") << QByteArray("bplist00\xd1\x01\x02\x51\x61\x51\x62\x08\x0b", 17);
        QTest::newRow("ini text") << QByteArray("[general]\nkeepSafe=true\n");

        // Crashed, aborted or exhausted memory inside libplist.
        const int deep = 200000;
        QTest::newRow("deep xml") << "<plist version=\"1.0\">" + QByteArray("<array>").repeated(deep)
                + QByteArray("</array>").repeated(deep) + "</plist>";
        QVector<QByteArray> nested;
        for (int i = 1; i <= deep; ++i)
            nested << "\xa1" + bigEndian(quint64(i), 4);
        QTest::newRow("deep binary") << binaryPlist(nested << "\xa0", 4);
        const QByteArray dictA("\xd1\x01\x02", 3);
        QTest::newRow("U+0000 in a binary string") << binaryPlist({dictA, "\x51" "a", QByteArray("\x62\0x\0\0", 5)}, 1);
        QTest::newRow("U+0000 in a binary key")
            << binaryPlist({dictA, QByteArray("\x62\0a\0\0", 5), "\x51x"}, 1);
        QTest::newRow("NUL in an xml string")
            << QByteArray("<plist version=\"1.0\"><dict><key>a</key><string>x") + '\0' + "y</string></dict></plist>";
        // Five levels of arrays whose 16 entries all name the next: a million values.
        QVector<QByteArray> bomb{dictA, "\x51" "a"};
        for (int level = 0; level < 5; ++level)
            bomb << "\xaf\x10\x10" + QByteArray(16, char(3 + level));
        QTest::newRow("shared references") << binaryPlist(bomb << "\x09", 1);
        // One 64 KB string named 600 times: 39 MB once expanded.
        QTest::newRow("shared long string")
            << binaryPlist({dictA, "\x51" "a", "\xaf\x11" + bigEndian(600, 2) + QByteArray(600, '\x03'),
                            "\x5f\x12" + bigEndian(65536, 4) + QByteArray(65536, 'x')}, 1);
        QTest::newRow("over the size cap")
            << binaryPlist({dictA, "\x51" "a", "\x51x"}, 1, int(kPlistMaxFileBytes));
    }

    void badFilesReadEmpty()
    {
        QFETCH(QByteArray, content);
        // A file of its own per row: QSettings caches by name and time stamp.
        const QString file = mTmp.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".plist"));
        QVERIFY(writeFile(file, content));
        QSettings s(file, hpSettingsFormat());
        QVERIFY(s.allKeys().isEmpty());
        QCOMPARE(s.value(QStringLiteral("general/keepSafe")).toString(), QString());
    }

    // Nested arrays around one string: a file at the depth limit reads whole,
    // one level more is refused whole.
    void nestingLimit_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("read");
        for (const int extra : {0, 1}) {
            // The pre-scan counts <plist>, the top <dict>, each <array> and the <string>.
            const int xmlArrays = kPlistMaxDepth + extra - 3;
            QTest::newRow(extra ? "xml one level too deep" : "xml at the limit")
                << "<plist version=\"1.0\"><dict><key>a</key>" + QByteArray("<array>").repeated(xmlArrays)
                       + "<string>x</string>" + QByteArray("</array>").repeated(xmlArrays) + "</dict></plist>"
                << !extra;
            // The top dictionary, each array and the string; each array names the next object.
            QVector<QByteArray> objects{QByteArray("\xd1\x01\x02", 3), "\x51" "a"};
            for (int i = 0; i < kPlistMaxDepth + extra - 2; ++i)
                objects << "\xa1" + QByteArray(1, char(objects.size() + 1));
            QTest::newRow(extra ? "binary one level too deep" : "binary at the limit")
                << binaryPlist(objects << "\x51x", 1) << !extra;
        }
    }

    void nestingLimit()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, read);
        const QString file = mTmp.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".plist"));
        QVERIFY(writeFile(file, content));
        QSettings s(file, hpSettingsFormat());
        QCOMPARE(s.allKeys().isEmpty(), !read);
        QVariant v = s.value(QStringLiteral("a"));
        while (v.type() == QVariant::List && v.toList().size() == 1)
            v = v.toList().first();
        QCOMPARE(v.toString(), read ? QStringLiteral("x") : QString());
    }

    void truncatedBinaryNeverCrashes()
    {
        const QString whole = mTmp.filePath(QStringLiteral("whole.plist"));
        QVERIFY(writeBinaryPlist(whole, QStringLiteral("{'a':'text','b':[1,2,{'c':True}],'d':b'xyz','e':1.5}")));
        const QByteArray bytes = readFile(whole);
        const QString cut = mTmp.filePath(QStringLiteral("cut.plist"));
        for (int n = 0; n < bytes.size(); ++n) {
            QVERIFY(writeFile(cut, bytes.left(n)));
            QSettings s(cut, hpSettingsFormat());
            s.allKeys(); // must come back, whatever it holds
        }
    }

    void unreadableFileReadsEmpty()
    {
        const QString folder = mTmp.filePath(QStringLiteral("a-folder.plist"));
        QVERIFY(QDir().mkpath(folder));
        QSettings s(folder, hpSettingsFormat());
        QVERIFY(s.allKeys().isEmpty());
    }

    void roundTripWithMacKeyLayout()
    {
        const QString file = mTmp.filePath(QStringLiteral("prefs.plist"));
        {
            QSettings s(file, hpSettingsFormat());
            s.beginGroup(QStringLiteral("general"));
            s.setValue(QStringLiteral("keepSafe"), true);
            s.setValue(QStringLiteral("playSound"), false);
            s.endGroup();
            s.setValue(QStringLiteral("update/updateTime"), QStringLiteral("07/03/2015 14:05:09"));
            s.setValue(QStringLiteral("/Applications/My App.app"), qint64(123456789012));
            s.setValue(QStringLiteral("name\u00b7dot"), 7);
        }
        const QByteArray xml = readFile(file);
        QVERIFY(xml.startsWith("<?xml"));
        QVERIFY(xml.contains("<key>general.keepSafe</key>"));
        QVERIFY(xml.contains("<true/>"));
        QVERIFY(xml.contains("<false/>"));
        QVERIFY(xml.contains("<key>update.updateTime</key>"));
        QVERIFY(xml.contains("<string>07/03/2015 14:05:09</string>"));
        QVERIFY(xml.contains("<key>Applications.My App\xc2\xb7" "app</key>"));
        QVERIFY(xml.contains("<integer>123456789012</integer>"));
        QVERIFY(xml.contains("<key>name/dot</key>"));

        QSettings back(file, hpSettingsFormat());
        QCOMPARE(back.value(QStringLiteral("general/keepSafe")).toBool(), true);
        QCOMPARE(back.value(QStringLiteral("general/playSound")).toBool(), false);
        QCOMPARE(back.value(QStringLiteral("update/updateTime")).toString(), QStringLiteral("07/03/2015 14:05:09"));
        QCOMPARE(back.value(QStringLiteral("/Applications/My App.app")).toLongLong(), qint64(123456789012));
        QCOMPARE(back.value(QStringLiteral("/Applications/My App.app")).toString(), QStringLiteral("123456789012"));
        QCOMPARE(back.value(QStringLiteral("name\u00b7dot")).toInt(), 7);
        back.beginGroup(QStringLiteral("general"));
        QCOMPARE(back.childKeys().size(), 2);
    }

    void writeReplacesWholeFile()
    {
        const QString file = mTmp.filePath(QStringLiteral("replace.plist"));
        QVERIFY(writeFile(file, "corrupt"));
        {
            QSettings s(file, hpSettingsFormat());
            s.setValue(QStringLiteral("k"), QStringLiteral("v"));
        }
        QSettings back(file, hpSettingsFormat());
        QCOMPARE(back.status(), QSettings::NoError);
        QCOMPARE(back.value(QStringLiteral("k")).toString(), QStringLiteral("v"));
        // Written through a temporary file and renamed: nothing else is left beside it.
        const QStringList left = QDir(mTmp.path()).entryList({QStringLiteral("replace.plist*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{QStringLiteral("replace.plist")});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
