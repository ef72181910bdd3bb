#include "AppEnv.h"
#include "CrashDlg.h"
#include "LocalHttpServer.h"
#include "SandboxRun.h"
#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {

const QString kPath = QStringLiteral("/bugs/Kestrelsweep/OSX/report.php");
const QString kDefaultsOn = QStringLiteral("defaults write com.apple.CrashReporter DialogType crashreport");
const QDateTime kBase(QDate(2026, 1, 1), QTime(12, 0), Qt::UTC);

bool writeFile(const QString &path, const QByteArray &content, const QDateTime &modified = kBase)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() && f.flush()
           && f.setFileTime(modified, QFileDevice::FileModificationTime);
}

QPushButton *button(CrashDlg &dlg, const char *name)
{
    return dlg.findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TestCrashDlg : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    QString mReports;
    QString mRecord;

    QStringList calls() const
    {
        QFile f(mRecord);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        mReports = QDir::homePath() + QStringLiteral("/Library/Logs/DiagnosticReports");
        mRecord = mTmp.path() + QStringLiteral("/calls");
        // Stand-ins that record how the tools were called, first on PATH.
        const QString bin = mTmp.path() + QStringLiteral("/bin");
        QDir().mkpath(bin);
        for (const char *tool : {"defaults", "open"}) {
            const QString script = bin + QLatin1Char('/') + QLatin1String(tool);
            QVERIFY(writeFile(script, "#!/bin/sh\necho \"" + QByteArray(tool) + " $*\" >> '"
                                          + QFile::encodeName(mRecord) + "'\n"));
            QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
        AppEnv::setEnv(envAppName, QStringLiteral("Kestrelsweep"));
        AppEnv::setEnv(envDataPath, mTmp.path() + QStringLiteral("/data"));
    }

    void init()
    {
        QDir(mReports).removeRecursively();
        QFile::remove(mRecord);
    }

    void getCrashData_data()
    {
        QTest::addColumn<QStringList>("files"); // name:age in seconds
        QTest::addColumn<QString>("expected");  // the file sent, "" for none

        QTest::newRow("newer of two") << QStringList{"Kestrelsweep_A.crash:200", "Kestrelsweep_B.crash:100"}
                                      << "Kestrelsweep_B.crash";
        QTest::newRow("newest first by time, not by name")
            << QStringList{"Kestrelsweep_B.crash:200", "Kestrelsweep_A.crash:100"} << "Kestrelsweep_A.crash";
        QTest::newRow("other product's newer report ignored")
            << QStringList{"Kestrelsweep_A.crash:200", "Tide_C.crash:10"} << "Kestrelsweep_A.crash";
        QTest::newRow("only another product's report") << QStringList{"Tide_C.crash:10"} << "";
        QTest::newRow("no folder") << QStringList{} << "";
    }

    void getCrashData()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        for (const QString &file : files) {
            const QString name = file.section(QLatin1Char(':'), 0, 0);
            QVERIFY(writeFile(mReports + QLatin1Char('/') + name, "report " + name.toUtf8(),
                              kBase.addSecs(-file.section(QLatin1Char(':'), 1).toInt())));
        }
        CrashDlg dlg;
        QByteArray data = "untouched";
        const QString name = dlg.getCrashData(data);
        if (expected.isEmpty()) {
            QCOMPARE(name, QString());
            QCOMPARE(data, QByteArray("untouched"));
            return;
        }
        QCOMPARE(name, mTmp.path() + QStringLiteral("/data/") + expected + QStringLiteral(".qz"));
        QCOMPARE(data, qCompress("report " + expected.toUtf8(), 9));
    }

    // The upload byte for byte as the report server receives it.
    void upload()
    {
        const QByteArray report("crash\0\xff\r\n--report", 18);
        QVERIFY(writeFile(mReports + QStringLiteral("/Kestrelsweep_B.crash"), report));
        LocalHttpServer server;
        QVERIFY(server.listen());
        server.serve(kPath, {});
        AppEnv::setEnv(envBugPostUrl, server.url(kPath));

        CrashDlg dlg;
        QSignalSpy finished(&dlg, &QDialog::finished);
        button(dlg, "pushButtonReport")->click();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 120000);
        QCOMPARE(finished.at(0).at(0).toInt(), CrashDlg::kReopened);

        const QByteArray boundary = QByteArray(27, '-') + "723690991551375881941828858";
        const QByteArray name = QFile::encodeName(mTmp.path()) + "/data/Kestrelsweep_B.crash.qz";
        const QByteArray body = "--" + boundary + "\r\n"
                                + "Content-Disposition: form-data; name=\"filedata\"; filename=\"" + name + "\"\r\n"
                                + "Content-Type: application/octet-stream\r\n\r\n" + qCompress(report, 9) + "\r\n"
                                + "--" + boundary + "--\r\n";
        QCOMPARE(server.received().size(), 1);
        const LocalHttpServer::Received got = server.received().at(0);
        QCOMPARE(got.method, QByteArray("POST"));
        QCOMPARE(got.path, kPath);
        QCOMPARE(got.body, body);
        QCOMPARE(got.header("POST"), kPath.toLatin1());
        QCOMPARE(got.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
        QCOMPARE(got.header("User-Agent"), ("Kestrelsweep/" + hpVersion()).toLatin1());
        QCOMPARE(got.header("Accept"), QByteArray("*/*"));
        QCOMPARE(got.header("Content-Type"), "multipart/form-data; boundary=" + boundary);
        QCOMPARE(got.header("Content-Length"), QByteArray::number(body.size()));
        int lengths = 0;
        for (const auto &field : got.headers)
            lengths += field.first.compare("Content-Length", Qt::CaseInsensitive) == 0;
        QCOMPARE(lengths, 1);
        QCOMPARE(calls(), QStringList{kDefaultsOn});
    }

    void outcomes_data()
    {
        QTest::addColumn<bool>("report");     // a report is there to send
        QTest::addColumn<int>("status");      // the server's answer; 0: none
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("program"); // the reporter's executable
        QTest::addColumn<int>("result");      // -1: the dialog stays open
        QTest::addColumn<QString>("text");    // shown at the end, "" if unchecked
        QTest::addColumn<bool>("restored");   // the system crash dialog set back on
        QTest::addColumn<QString>("reopened"); // the bundle opened again, "" for none

        const QStringList send{"pushButtonReport"};
        const QString installed = QStringLiteral("/Applications/Kestrelsweep.app/Contents/MacOS/Kestrelsweep");
        const QString underContents = QStringLiteral("/tmp/x/Contents/Apps/Kestrelsweep.app/Contents/MacOS/Kestrelsweep");
        const QString thanks = QStringLiteral("Thank you, we will fix the bug as soon as possible!");
        QTest::newRow("failed upload still reopens") << true << 500 << send << installed << CrashDlg::kReopened
                                                     << thanks << true << "/Applications/Kestrelsweep.app";
        QTest::newRow("sent, bundle inside a folder named Contents")
            << true << 200 << send << underContents << CrashDlg::kReopened << thanks << true
            << "/tmp/x/Contents/Apps/Kestrelsweep.app";
        QTest::newRow("no report reopens instead of waiting")
            << false << 200 << send << underContents << CrashDlg::kReopened
            << "No crash report was found, so nothing was sent." << true << "/tmp/x/Contents/Apps/Kestrelsweep.app";
        QTest::newRow("bundle named Contents") << false << 200 << send
                                               << "/Users/tester/Contents.app/Contents/MacOS/Kestrelsweep"
                                               << CrashDlg::kReopened << "" << true << "/Users/tester/Contents.app";
        QTest::newRow("sent, not in a bundle: nothing reopened") << true << 200 << send << "/usr/local/bin/Kestrelsweep"
                                                                 << CrashDlg::kReopened << thanks << true << "";
        QTest::newRow("ignore") << true << 200 << QStringList{"pushButtonIgnore"} << installed << CrashDlg::kLeft << ""
                                << true << "";
        QTest::newRow("cancel while sending, no reopen after")
            << true << 0 << QStringList{"pushButtonReport", "pushButtonCancel"} << installed << CrashDlg::kLeft << ""
            << true << "";
        QTest::newRow("close button leaves the preference") << true << 200 << QStringList{"sysBtnClose"} << installed
                                                            << -1 << "" << false << "";
    }

    void outcomes()
    {
        QFETCH(bool, report);
        QFETCH(int, status);
        QFETCH(QStringList, clicks);
        QFETCH(QString, program);
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(bool, restored);
        QFETCH(QString, reopened);
        if (report)
            QVERIFY(writeFile(mReports + QStringLiteral("/Kestrelsweep_A.crash"), "report"));
        LocalHttpServer server;
        QVERIFY(server.listen());
        LocalHttpServer::Response answer;
        answer.status = status;
        answer.silent = status == 0;
        server.serve(kPath, answer);
        AppEnv::setEnv(envBugPostUrl, server.url(kPath));

        CrashDlg dlg(nullptr, program);
        QSignalSpy finished(&dlg, &QDialog::finished);
        for (const QString &name : clicks) {
            if (name == QLatin1String("pushButtonCancel"))
                QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 120000);
            button(dlg, qPrintable(name))->click();
        }
        // Only an upload is waited for; every other way out is taken at once.
        if (report && status != 0 && clicks == QStringList{"pushButtonReport"})
            QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 120000);
        // Whatever was still on its way has arrived by now.
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), result >= 0 ? 1 : 0);
        if (result >= 0)
            QCOMPARE(finished.at(0).at(0).toInt(), result);
        if (!text.isEmpty())
            QCOMPARE(dlg.findChild<QTextBrowser *>(QStringLiteral("textBrowser"))->toPlainText(), text);
        QStringList expected;
        if (restored)
            expected << kDefaultsOn;
        // The bundle is opened detached: its record comes when it comes.
        if (!reopened.isEmpty()) {
            expected << QStringLiteral("open -F -n ") + reopened;
            QTRY_COMPARE_WITH_TIMEOUT(calls().size(), expected.size(), 120000);
        }
        QCOMPARE(calls(), expected);
    }

    // The report is found without a list file in /tmp: a link planted there
    // stays as it is, and so does what it points to.
    void plantedListFileUntouched()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        const QString world = mTmp.path() + QStringLiteral("/world");
        QVERIFY(writeFile(world + QStringLiteral("/Users/tester/Library/Logs/DiagnosticReports/Kestrelsweep_X.crash"),
                          "the report"));
        const QString target = world + QStringLiteral("/private/tmp/target");
        QVERIFY(writeFile(target, "keep"));
        // Writable by the sandbox's user, as the user's own files are.
        QVERIFY(QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOther));
        const QString link = world + QStringLiteral("/private/tmp/vextora_crash.log");
        QVERIFY(QFile::link(QStringLiteral("/tmp/target"), link));

        const SandboxRun run = runInSandbox(world, {}, {qEnvironmentVariable("KS_CRASH_PROBE")});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out, QStringLiteral("/Users/tester/data/Kestrelsweep_X.crash.qz\nthe report"));
        QCOMPARE(QFileInfo(link).symLinkTarget(), QStringLiteral("/tmp/target"));
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep"));
        // Qt makes its runtime folder there when none is set; nothing else may appear.
        QStringList left = QDir(world + QStringLiteral("/private/tmp")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        // The sandbox makes mount points there for a project or build kept in /tmp.
        QStringList mounts;
        for (const char *var : {"KS_SOURCE_DIR", "KS_BINARY_DIR", "KS_STANDIN_DIR"}) {
            const QString dir = qEnvironmentVariable(var);
            if (dir.startsWith(QLatin1String("/tmp/")))
                mounts << dir.section(QLatin1Char('/'), 2, 2);
        }
        left.erase(std::remove_if(left.begin(), left.end(),
                                  [&](const QString &n) {
                                      return n.startsWith(QLatin1String("runtime-")) || mounts.contains(n);
                                  }),
                   left.end());
        QCOMPARE(left.join(QLatin1Char(' ')), QStringLiteral("target vextora_crash.log"));
    }
};

QTEST_MAIN(TestCrashDlg)
#include "tst_crashdlg.moc"
