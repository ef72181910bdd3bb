#include "AppCenter.h"
#include "AppEnv.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "AppScanner.h"
#include "CacheFile.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <utime.h>

namespace {

QStringList sMeasured;

void captureLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    // hpGetSize logs its du command line before measuring.
    if (msg.startsWith(QLatin1String("du ")))
        sMeasured << msg.section(QLatin1Char('"'), 1, 1);
}

} // namespace

// The size pass over items appended by the real scanners, outside the sandbox.
class TestAppFinder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;
    QString mApps;

    static void writeFile(const QString &path, const QByteArray &data)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    static void setModified(const QString &path, const QDateTime &when)
    {
        struct utimbuf times = {when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
        QCOMPARE(utime(QFile::encodeName(path).constData(), &times), 0);
    }

    QString bundle(int i) const { return mApps + QStringLiteral("App %1.app").arg(i); }

    // One size pass over a fresh catalogue of the scanned folder.
    QList<AppInfo *> sizePass(int *updates)
    {
        QList<AppInfo *> old;
        AppCenter::Inst()->getAppList(old);
        for (int i = 0; i < old.size(); ++i)
            AppCenter::Inst()->remove(0);
        AppCenter::Inst()->releaseAppList(old);

        findApps(mApps);
        sMeasured.clear();
        QSignalSpy updated(AppCenter::Inst(), &AppCenter::dataUpdated);
        AppFinder finder(nullptr);
        finder.calSoftSize();
        *updates = updated.count();
        QList<AppInfo *> result;
        AppCenter::Inst()->getAppList(result);
        return result;
    }

    static QVariant cached(const char *file, const QString &key)
    {
        return QSettings(QString::fromUtf8(file), hpSettingsFormat()).value(key);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        mApps = mTmp.filePath(QStringLiteral("Applications/"));
        // The cache folder does not exist yet: the first pass must create it.
        QVERIFY(AppEnv::setEnv(envIconPath, mTmp.filePath(QStringLiteral("data/icon/"))));
        QVERIFY(AppEnv::setEnv(envSizeList, QString(envIconPath) + QStringLiteral("/sizeList.plist")));
        QVERIFY(AppEnv::setEnv(envTimeList, QString(envIconPath) + QStringLiteral("/timeList.plist")));
        for (int i = 0; i < 4; ++i) {
            writeFile(bundle(i) + QStringLiteral("/Contents/Info.plist"), QByteArray());
            writeFile(bundle(i) + QStringLiteral("/Contents/MacOS/payload"), QByteArray(4096 * (i + 1), 'x'));
            setModified(bundle(i), QDateTime(QDate(2022, 1, 1 + i), QTime(12, 0, 0)));
        }
        qInstallMessageHandler(captureLog);
        // The sips stand-in is not on PATH here: icons are not this test's concern.
    }

    void firstRunMeasuresAndWritesBothCaches()
    {
        int updates = 0;
        QList<AppInfo *> apps = sizePass(&updates);
        QCOMPARE(apps.size(), 4);
        QCOMPARE(updates, 4);
        QCOMPARE(sMeasured.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const AppInfo *info = apps.at(i);
            QCOMPARE(info->path, bundle(i));
            QCOMPARE(info->sizeState, 2);
            QVERIFY(info->size >= 4 * (i + 1));
            QCOMPARE(info->size, hpGetSize(bundle(i)));
            QCOMPARE(cached(envSizeList, bundle(i)).toLongLong(), info->size);
            QCOMPARE(cached(envTimeList, bundle(i)).toString(), info->modifyTime);
            QCOMPARE(info->modifyTime, QStringLiteral("0%1/01/2022 12:00:00").arg(i + 1));
        }
        AppCenter::Inst()->releaseAppList(apps);
        // Written as an XML property list keyed the way the macOS backend keys paths.
        QFile sizes(QString::fromUtf8(envSizeList));
        QVERIFY(sizes.open(QIODevice::ReadOnly));
        const QByteArray xml = sizes.readAll();
        QVERIFY(xml.contains("<plist"));
        QVERIFY(xml.contains("<integer>"));
        QVERIFY(xml.contains(QString(bundle(0)).mid(1).replace(QLatin1Char('.'), QChar(0x00B7))
                                 .replace(QLatin1Char('/'), QLatin1Char('.')).toUtf8()));
    }

    void secondRunMeasuresNothing()
    {
        int updates = 0;
        QList<AppInfo *> apps = sizePass(&updates);
        QCOMPARE(sMeasured, QStringList());
        QCOMPARE(updates, 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(apps.at(i)->sizeState, 2);
            QCOMPARE(apps.at(i)->size, hpGetSize(bundle(i)));
        }
        AppCenter::Inst()->releaseAppList(apps);
    }

    void remeasured_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("measured");
        QTest::newRow("cached size zero") << "zero" << true;
        QTest::newRow("cached size not a number") << "garbage" << true;
        QTest::newRow("cached size missing") << "nosize" << true;
        QTest::newRow("cached time missing") << "notime" << true;
        QTest::newRow("bundle folder touched") << "touch" << true;
        QTest::newRow("file deep inside changed") << "deep" << false;
    }

    void remeasured()
    {
        QFETCH(QString, change);
        QFETCH(bool, measured);
        const QString target = bundle(2);
        {
            QSettings sizes(QString::fromUtf8(envSizeList), hpSettingsFormat());
            QSettings times(QString::fromUtf8(envTimeList), hpSettingsFormat());
            if (change == QLatin1String("zero"))
                sizes.setValue(target, 0);
            else if (change == QLatin1String("garbage"))
                sizes.setValue(target, QStringLiteral("lots"));
            else if (change == QLatin1String("nosize"))
                sizes.remove(target);
            else if (change == QLatin1String("notime"))
                times.remove(target);
        }
        if (change == QLatin1String("touch"))
            setModified(target, QDateTime(QDate(2023, 5, 6), QTime(7, 8, 9)));
        if (change == QLatin1String("deep")) {
            const QDateTime before = QFileInfo(target).lastModified();
            writeFile(target + QStringLiteral("/Contents/MacOS/payload"), QByteArray(65536, 'y'));
            setModified(target + QStringLiteral("/Contents/MacOS"), before);
            setModified(target + QStringLiteral("/Contents"), before);
            setModified(target, before);
        }

        int updates = 0;
        QList<AppInfo *> apps = sizePass(&updates);
        QCOMPARE(updates, 4);
        QCOMPARE(sMeasured, measured ? QStringList{target} : QStringList());
        const AppInfo *info = apps.at(2);
        if (measured) {
            QCOMPARE(info->size, hpGetSize(target));
            QCOMPARE(cached(envSizeList, target).toLongLong(), info->size);
            QCOMPARE(cached(envTimeList, target).toString(), info->modifyTime);
        } else {
            QVERIFY(info->size < hpGetSize(target)); // the cache keeps the old figure
        }
        AppCenter::Inst()->releaseAppList(apps);
    }

    void zeroSizeIsMeasuredEveryRun()
    {
        // du counts a symbolic link as itself: a linked bundle measures 0.
        const QString linked = mTmp.filePath(QStringLiteral("Applications/Linked.app"));
        QVERIFY(QFile::link(bundle(0), linked));
        int updates = 0;
        for (int run = 0; run < 2; ++run) {
            QList<AppInfo *> apps = sizePass(&updates);
            QCOMPARE(sMeasured, QStringList{linked});
            QCOMPARE(cached(envSizeList, linked).toLongLong(), qint64(0));
            AppCenter::Inst()->releaseAppList(apps);
        }
        QVERIFY(QFile::remove(linked));
    }

    // Another instance saves the cache (a new file renamed into place, as
    // QSettings writes it) between two saves of one pass: its entry stays.
    void savesKeepWhatAnotherInstanceSaved_data()
    {
        QTest::addColumn<bool>("savedBefore");
        QTest::newRow("after our first save") << true;
        QTest::newRow("before our first save, no cache yet") << false;
    }

    void savesKeepWhatAnotherInstanceSaved()
    {
        QFETCH(bool, savedBefore);
        const QString path = mTmp.filePath(QStringLiteral("merge/%1.plist").arg(savedBefore));
        CacheFile cache(path);
        cache.setValue(QStringLiteral("/ours"), 1);
        QVERIFY(!savedBefore || cache.save(1000));
        QSettings(path, hpSettingsFormat()).setValue(QStringLiteral("/theirs"), 7);
        cache.setValue(QStringLiteral("/ours"), 2);
        QVERIFY(cache.save(1000));
        // Read from a copy: QSettings keeps what it read of a file in this
        // process and trusts it while the file's size and time look the same.
        QVERIFY(QFile::copy(path, path + QStringLiteral(".check")));
        const QSettings saved(path + QStringLiteral(".check"), hpSettingsFormat());
        QCOMPARE(saved.value(QStringLiteral("/theirs")).toInt(), 7);
        QCOMPARE(saved.value(QStringLiteral("/ours")).toInt(), 2);
    }

    // A cache whose lock another process keeps (one that hangs) is left as it
    // is: the pass still sizes every row, and the next one measures again.
    void heldLockDelaysTheSaveNotThePass()
    {
        setModified(bundle(1), QDateTime(QDate(2024, 2, 3), QTime(4, 5, 6)));
        QLockFile held(QString::fromUtf8(envSizeList) + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        int updates = 0;
        QList<AppInfo *> apps;
        QScopedPointer<QThread> pass(QThread::create([&] { apps = sizePass(&updates); }));
        pass->start();
        // The limit only ends the wait for a pass that waits without one.
        const bool finished = pass->wait(60000);
        held.unlock();
        pass->wait();
        QVERIFY(finished);
        QCOMPARE(updates, 4);
        QCOMPARE(sMeasured, QStringList{bundle(1)});
        AppCenter::Inst()->releaseAppList(apps);

        apps = sizePass(&updates);
        QCOMPARE(sMeasured, QStringList{bundle(1)});
        QCOMPARE(cached(envSizeList, bundle(1)).toLongLong(), apps.at(1)->size);
        QCOMPARE(cached(envTimeList, bundle(1)).toString(), apps.at(1)->modifyTime);
        AppCenter::Inst()->releaseAppList(apps);
    }
};

QTEST_MAIN(TestAppFinder)
#include "tst_appfinder.moc"
