#include "AboutDlg.h"
#include "AppEnv.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

class TestAboutDlg : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;

    static QStringList links(QTextBrowser *browser)
    {
        QStringList hrefs;
        for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QString href = it.fragment().charFormat().anchorHref();
                if (!href.isEmpty() && !hrefs.contains(href))
                    hrefs << href;
            }
        }
        return hrefs;
    }

private slots:
    // Rows run in order: the version is read once and kept after it was found.
    void version_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("label");
        QTest::newRow("no Info.plist") << QByteArray() << "Version ";
        QTest::newRow("no version key")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                          "<key>CFBundleName</key><string>Kestrelsweep</string></dict></plist>")
            << "Version ";
        QTest::newRow("version")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                          "<key>CFBundleShortVersionString</key><string>2.4.1</string></dict></plist>")
            << "Version 2.4.1";
    }

    void version()
    {
        QFETCH(QByteArray, info);
        QFETCH(QString, label);
        const QString path = mTmp.filePath(QStringLiteral("Info-%1.plist").arg(QTest::currentDataTag()));
        if (!info.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(info);
        }
        QVERIFY(AppEnv::setEnv(envInfoPlist, path));
        AboutDlg dlg(nullptr);
        QCOMPARE(dlg.findChild<QLabel *>(QStringLiteral("labelVersion"))->text(), label);
        QCOMPARE(dlg.size(), QSize(453, 315));
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void links_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("product");
        QTest::newRow("english") << "http://www.vextora.com" << "http://www.vextora.com/kestrelsweep.html";
        QTest::newRow("japanese") << "http://jp.vextora.com" << "http://jp.vextora.com/kestrelsweep.html";
        // A marker inside the first address must not take the second one.
        QTest::newRow("marker in an address") << "http://www.vextora.com/%s" << "http://www.vextora.com/p.html";
    }

    void links()
    {
        QFETCH(QString, home);
        QFETCH(QString, product);
        QVERIFY(AppEnv::setEnv(envHomeUrl, home));
        QVERIFY(AppEnv::setEnv(envProductUrl, product));
        AboutDlg dlg(nullptr);
        auto *browser = dlg.findChild<QTextBrowser *>(QStringLiteral("textBrowserRelNotes"));
        QCOMPARE(links(browser), QStringList({home, product}));
        QVERIFY(browser->openExternalLinks());
        QCOMPARE(browser->textInteractionFlags(),
                 Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Product Overview")));
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
