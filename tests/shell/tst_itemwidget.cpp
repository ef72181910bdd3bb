#include "AppCenter.h"
#include "AppInfo.h"
#include "ItemWidget.h"

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QLabel *label(ItemWidget &row, const char *name)
{
    return row.findChild<QLabel *>(QLatin1String(name));
}

AppInfo record(const QString &path, qint64 size = 0, int sizeState = 0)
{
    AppInfo info;
    info.name = QFileInfo(path).fileName();
    info.path = path;
    info.size = size;
    info.sizeState = sizeState;
    return info;
}

QByteArray pngBytes(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray be32(int n)
{
    return QByteArray(1, char(n >> 24)) + char(n >> 16) + char(n >> 8) + char(n);
}

QByteArray icnsEntry(const char *type, const QByteArray &data)
{
    return type + be32(8 + data.size()) + data;
}

// The icon file a row reads: "png WxH", an ICNS holding such a PNG ("icns",
// or "icns-qt" as Qt's plug-in writes it),
// one whose table of contents finds it inside another entry ("icns-toc"), an
// ICO whose directory says 16 pixels ("ico"), or a FIFO.
QByteArray iconBytes(const QString &file)
{
    const QString kind = file.section(QLatin1Char(' '), 0, 0);
    const QByteArray png = pngBytes(QSize(file.section(QLatin1Char(' '), 1).section(QLatin1Char('x'), 0, 0).toInt(),
                                          file.section(QLatin1Char('x'), 1).toInt()));
    QByteArray entries;
    if (kind == QLatin1String("png"))
        return png;
    if (kind == QLatin1String("icns-qt")) {
        QBuffer buffer(&entries);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "icns").write(QImage::fromData(png));
        return entries;
    }
    if (kind == QLatin1String("icns"))
        entries = icnsEntry("ic10", png);
    if (kind == QLatin1String("icns-toc"))
        entries = icnsEntry("TOC ", "----" + be32(8) + "ic10" + be32(8 + png.size()))
                  + icnsEntry("ic10", QByteArray(8, 'j') + png);
    if (kind == QLatin1String("ico"))
        return QByteArray("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0", 14) + QByteArray(1, char(png.size()))
               + char(png.size() >> 8) + char(png.size() >> 16) + QByteArray("\0\x16\0\0\0", 5) + png;
    return "icns" + be32(8 + entries.size()) + entries;
}

void clearStore()
{
    QList<AppInfo *> copies;
    AppCenter::Inst()->getAppList(copies);
    for (int i = 0; i < copies.size(); ++i)
        AppCenter::Inst()->remove(0);
    AppCenter::Inst()->releaseAppList(copies);
}

} // namespace

class TestItemWidget : public QObject
{
    Q_OBJECT

private slots:
    void nameLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");

        QTest::newRow("plain app") << "Scribbles.app" << "" << "Scribbles";
        QTest::newRow("with version") << "Scribbles.app" << "2.1" << "Scribbles (2.1)";
        QTest::newRow("every .app goes") << "My.app Helper.app" << "1" << "My Helper (1)";
        QTest::newRow("suffix case kept") << "Tools.APP" << "" << "Tools.APP";
        QTest::newRow("widget name") << "Rain Gauge" << "3.0b" << "Rain Gauge (3.0b)";
        QTest::newRow("non-Latin-1") << "Записи.app" << "" << "Записи";
        // A name is never markup: as rich text the image would be loaded
        // (a FIFO there would block the list) and the row grow.
        QTest::newRow("markup shown as text") << "<img src=\"big.png\">.app" << "" << "<img src=\"big.png\">";
    }

    void nameLabel()
    {
        QFETCH(QString, name);
        QFETCH(QString, version);
        QFETCH(QString, shown);

        AppInfo info = record(QStringLiteral("/Applications/x.app"));
        info.name = name;
        info.version = version;
        QTemporaryDir dir;
        QImage(400, 400, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("big.png")));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ItemWidget row(&info);
        QCOMPARE(label(row, "labelName")->text(), shown);
        QVERIFY(label(row, "labelName")->sizeHint().height() < 100);
        QDir::setCurrent(cwd);
        QCOMPARE(row.appName(), name);
    }

    void fieldsAndAccessors()
    {
        AppInfo info = record(QStringLiteral("/Users/ann/Applications/Tool Box.app"));
        info.bundleId = QStringLiteral("org.example.toolbox");
        info.lastOpenTime = QStringLiteral("01/02/2026 10:11:12");
        ItemWidget row(&info);

        QCOMPARE(row.size(), QSize(560, 60));
        QCOMPARE(row.appPath(), info.path);
        QCOMPARE(row.appBundleId(), info.bundleId);
        QCOMPARE(label(row, "labelPath")->text(), info.path);
        QCOMPARE(label(row, "labelTime")->text(), info.lastOpenTime);
        QCOMPARE(row.appSize(), QStringLiteral("Calculate..."));
        QCOMPARE(row.windowTitle(), QStringLiteral("test"));
        QVERIFY(!row.isChecked());

        // The row keeps its own copies: the record may go away.
        info.path.clear();
        QCOMPARE(row.appPath(), QStringLiteral("/Users/ann/Applications/Tool Box.app"));
    }

    void sizeLabel_data()
    {
        QTest::addColumn<qint64>("kib");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << qint64(0) << "0K";
        QTest::newRow("kilobytes") << qint64(1023) << "1023K";
        QTest::newRow("megabytes") << qint64(1536) << "1.50M";
        QTest::newRow("gigabytes") << qint64(3) * 1024 * 1024 << "3.00G";
    }

    void sizeLabel()
    {
        QFETCH(qint64, kib);
        QFETCH(QString, text);

        AppInfo info = record(QStringLiteral("/Applications/a.app"));
        ItemWidget row(&info);
        QVERIFY(row.setSizeWidget(kib));
        QCOMPARE(row.appSize(), text);
    }

    void icon_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file"); // "", "fifo" or what iconBytes() makes
        QTest::addColumn<bool>("fromIconDir");
        QTest::addColumn<bool>("shown");

        QTest::newRow("application") << 0 << "png 128x64" << true << true;
        QTest::newRow("widget") << 1 << "png 128x64" << true << true;
        QTest::newRow("plug-in") << 2 << "png 128x64" << true << true;
        QTest::newRow("missing icon") << 0 << "" << true << false;
        QTest::newRow("icon too large to decode") << 0 << "png 4096x8" << true << false;
        QTest::newRow("FIFO in place of the icon") << 0 << "fifo" << true << false;
        QTest::newRow("ICNS, which tells no size") << 0 << "icns-qt 64x64" << true << true;
        QTest::newRow("ICNS member too large") << 0 << "icns 2048x2048" << true << false;
        QTest::newRow("ICNS table of contents finds a member inside another")
            << 0 << "icns-toc 2048x2048" << true << false;
        QTest::newRow("ICO directory hides the member's size") << 0 << "ico 2048x2048" << true << false;
        QTest::newRow("unknown kind: generic document") << 7 << "png 128x64" << false << false;
        QTest::newRow("negative kind: generic document") << -1 << "png 128x64" << false << false;
    }

    void icon()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        QFETCH(bool, fromIconDir);
        QFETCH(bool, shown);

        QTemporaryDir dir;
        const QString iconDir = dir.path() + QStringLiteral("/icons/Some App");
        QVERIFY(QDir().mkpath(iconDir));
        const QString iconFile = iconDir + QStringLiteral("/icon_32x32.png");
        if (file == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(iconFile).constData(), 0600), 0);
        } else if (!file.isEmpty()) {
            QFile f(iconFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(iconBytes(file));
        }

        AppInfo info = record(QStringLiteral("/Applications/Some App.app"));
        info.kind = kind;
        info.iconDir = iconDir;
        ItemWidget row(&info);

        const QString expected = fromIconDir
            ? iconDir + QStringLiteral("/icon_32x32.png")
            : QStringLiteral("/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/GenericDocumentIcon.icns");
        QCOMPARE(row.appIcon(), expected);
        const QPixmap pixmap = label(row, "labelIcon")->pixmap(Qt::ReturnByValue);
        QCOMPARE(!pixmap.isNull(), shown);
        if (shown)
            QCOMPARE(pixmap.size(), QSize(32, 32));
    }

    void checkBoxReportsPath()
    {
        AppInfo info = record(QStringLiteral("/Applications/A b.app"));
        ItemWidget row(&info);
        QSignalSpy spy(&row, &ItemWidget::checkboxClicked);

        row.setCheckState(true);
        row.setCheckState(true); // no change, no signal
        QVERIFY(row.isChecked());
        row.findChild<QCheckBox *>(QStringLiteral("checkBox"))->click();
        QVERIFY(!row.isChecked());

        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(spy.at(0).at(1).toString(), info.path);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);
        QCOMPARE(spy.at(1).at(1).toString(), info.path);
    }

    // The store fills the size labels of the positions both lists have, and
    // only from measured records.
    void storeUpdatesRows_data()
    {
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("sizes");

        QTest::newRow("fewer rows") << 2 << QStringList{"10K", "Calculate..."};
        QTest::newRow("as many") << 3 << QStringList{"10K", "Calculate...", "2.00M"};
        QTest::newRow("more rows") << 4 << QStringList{"10K", "Calculate...", "2.00M", "Calculate..."};
        QTest::newRow("no rows") << 0 << QStringList{};
    }

    void storeUpdatesRows()
    {
        QFETCH(int, rowCount);
        QFETCH(QStringList, sizes);

        clearStore();
        AppCenter::Inst()->append(QList<AppInfo *>{
            new AppInfo(record(QStringLiteral("/Applications/a.app"), 10, 2)),
            new AppInfo(record(QStringLiteral("/Applications/b.app"), 99, 0)),
            new AppInfo(record(QStringLiteral("/Applications/c.app"), 2048, 2)),
        });

        QList<ItemWidget *> rows;
        for (int i = 0; i < rowCount; ++i) {
            AppInfo info = record(QStringLiteral("/Applications/row%1.app").arg(i));
            rows.append(new ItemWidget(&info));
        }
        ItemWidget::showSizes(rows, AppCenter::Inst()->measuredSizes());

        QStringList shown;
        for (ItemWidget *row : qAsConst(rows))
            shown.append(row->appSize());
        QCOMPARE(shown, sizes);
        qDeleteAll(rows);
        clearStore();
    }
};

QTEST_MAIN(TestItemWidget)
#include "tst_itemwidget.moc"
