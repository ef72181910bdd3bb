#include "SandboxRun.h"
#include "hpSignature.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sodium.h>
#include <unistd.h>

// The update from a signed image to the relaunch, inside tools/sandbox with
// the stand-ins for the Mac's tools and, where a row asks for it, the real
// helper service as root.
class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    QByteArray mPublic, mSecret;

    QByteArray sign(const QByteArray &message) const
    {
        QByteArray sig(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                             reinterpret_cast<const unsigned char *>(message.constData()), message.size(),
                             reinterpret_cast<const unsigned char *>(mSecret.constData()));
        return sig;
    }

    static bool write(const QString &path, const QByteArray &data)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static bool tar(const QString &dir, const QStringList &names, const QString &out)
    {
        return QProcess::execute(QStringLiteral("tar"), QStringList{QStringLiteral("--format=ustar"), QStringLiteral("-C"),
                                                                    dir, QStringLiteral("-cf"), out} + names) == 0;
    }

    static bool serviceKnowsUpdateKeys()
    {
        return read(qEnvironmentVariable("KS_HELPER")).contains("--update-key");
    }

private slots:
    void initTestCase()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QVERIFY(sodium_init() >= 0);
        mPublic.resize(crypto_sign_PUBLICKEYBYTES);
        mSecret.resize(crypto_sign_SECRETKEYBYTES);
        crypto_sign_keypair(reinterpret_cast<unsigned char *>(mPublic.data()), reinterpret_cast<unsigned char *>(mSecret.data()));
    }

    void install_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("packageSignature"); // good, altered, none
        QTest::addColumn<QByteArray>("packageVersion"); // what the package's signature says; 1.0 is installed
        QTest::addColumn<bool>("foreignMount");        // /tmp/Kestrelsweep made beforehand by another user
        QTest::addColumn<bool>("installed");           // the installer recorded the package
        QTest::addColumn<bool>("opened");              // the fallback opened the image
        QTest::addColumn<bool>("relaunched");
        const auto row = [](const char *name, bool service, const char *signature, bool installed, bool opened,
                            bool relaunched, const QByteArray &version = "2.0", bool foreign = false) {
            QTest::newRow(name) << service << QString::fromLatin1(signature) << version << foreign << installed << opened
                                << relaunched;
        };
        row("service installs and ends", true, "good", true, false, true);
        // Nothing installed: the image is there for the user, nothing relaunched.
        row("no service: the image is opened, no relaunch", false, "good", false, true, false);
        row("package altered after signing: refused", true, "altered", false, false, false);
        row("package without signature: refused", true, "none", false, false, false);
        // The page offers 2.0, but the package is a genuinely signed older one.
        row("package of an older signed release: refused", true, "good", false, false, false, "0.9.0");
        row("package of the installed version: refused", true, "good", false, false, false, "1.0");
        // Nothing mounted: a failure, never a relaunch as if installed.
        row("mount folder of another user: failure", false, "good", false, false, false, "2.0", true);
    }

    void install()
    {
        QFETCH(bool, service);
        QFETCH(QString, packageSignature);
        QFETCH(QByteArray, packageVersion);
        QFETCH(bool, foreignMount);
        QFETCH(bool, installed);
        QFETCH(bool, opened);
        QFETCH(bool, relaunched);
        if (service && geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        if (foreignMount && geteuid() != 0)
            QSKIP("another user's folder needs a second id: run as root");
        if (service && !serviceKnowsUpdateKeys())
            QSKIP("this kestrel-helper takes no --update-key: the service side of updates is not built yet");

        const QString world = mTmp.path() + QLatin1Char('/') + QString::fromLatin1(QTest::currentDataTag()).left(20);
        const QString src = mTmp.path() + QStringLiteral("/src-") + QString::number(qHash(world));
        const QByteArray payload = "new version of the program\n";
        QVERIFY(write(src + QStringLiteral("/pkg/Applications/Kestrelsweep.app/Contents/MacOS/Kestrelsweep"), payload));
        QVERIFY(QDir().mkpath(src + QStringLiteral("/img")));
        QVERIFY(tar(src + QStringLiteral("/pkg"), {QStringLiteral("Applications")},
                    src + QStringLiteral("/img/Kestrelsweep.pkg")));
        const QByteArray package = read(src + QStringLiteral("/img/Kestrelsweep.pkg"));
        QStringList members{QStringLiteral("Kestrelsweep.pkg")};
        if (packageSignature != QLatin1String("none")) {
            const QByteArray signedBytes = packageSignature == QLatin1String("good") ? package : package + "altered";
            QVERIFY(write(src + QStringLiteral("/img/Kestrelsweep.pkg.sig"),
                          hpPackageSignatureFile(packageVersion, sign(hpPackageSignedMessage(packageVersion, signedBytes)))));
            members << QStringLiteral("Kestrelsweep.pkg.sig");
        }
        const QString image = world + QStringLiteral("/private/tmp/image.dmg");
        QVERIFY(QDir().mkpath(world + QStringLiteral("/private/tmp")));
        QVERIFY(tar(src + QStringLiteral("/img"), members, image));
        const QByteArray pageSignature = sign(hpUpdateSignedMessage("2.0", read(image))).toBase64();
        // The bundle in place, which the application runs as and the service updates from.
        QVERIFY(write(world + QStringLiteral("/Applications/Kestrelsweep.app/Contents/Info.plist"),
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                      "<key>CFBundleShortVersionString</key><string>1.0</string></dict></plist>\n"));
        if (foreignMount) {
            const QString mount = world + QStringLiteral("/private/tmp/Kestrelsweep");
            QVERIFY(QDir().mkpath(mount));
            QCOMPARE(::chown(QFile::encodeName(mount).constData(), kSandboxUserUid + 1, kSandboxUserGid), 0);
        }

        QStringList options;
        if (service) {
            options << QStringLiteral("--helper") << qEnvironmentVariable("KS_HELPER") << QStringLiteral("--trust")
                    << qEnvironmentVariable("KS_INSTALL_PROBE");
            for (const QString &arg : {QStringLiteral("--update-key"), QString::fromLatin1(mPublic.toHex()),
                                       QStringLiteral("--installer"),
                                       qEnvironmentVariable("KS_STANDIN_DIR") + QStringLiteral("/installer")})
                options << QStringLiteral("--helper-arg") << arg;
        }
        const SandboxRun run = runInSandbox(world, options,
                                            {qEnvironmentVariable("KS_INSTALL_PROBE"), QStringLiteral("/tmp/image.dmg"),
                                             QStringLiteral("2.0"), QString::fromLatin1(pageSignature),
                                             QString::fromLatin1(mPublic.toHex())});
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err.right(3000)));
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);

        const QString receipt = world + QStringLiteral("/private/var/db/receipts/com.vextora.Kestrelsweep.update.log");
        const QByteArray sha = QCryptographicHash::hash(package, QCryptographicHash::Sha256).toHex();
        QCOMPARE(read(receipt).contains(sha), installed);
        QCOMPARE(QFileInfo::exists(receipt), installed);
        const QByteArray openLog = read(world + QStringLiteral("/private/tmp/open.log"));
        QCOMPARE(openLog.endsWith("/Kestrelsweep-new.dmg\n"), opened);
        QCOMPARE(openLog.isEmpty(), !opened);
        if (relaunched) {
            // The new copy got the old one's whole argument list.
            QCOMPARE(lines.filter(QStringLiteral("relaunched\t")).size(), 1);
            QVERIFY2(lines.filter(QStringLiteral("relaunched\t")).first().contains(QLatin1String(" /tmp/image.dmg 2.0 ")),
                     qPrintable(run.out));
            QCOMPARE(lines.filter(QStringLiteral("box\t")), QStringList());
        } else {
            QCOMPARE(lines.filter(QStringLiteral("relaunched")), QStringList());
            QCOMPARE(lines.filter(QStringLiteral("box\t")).size(), 1);
            QVERIFY2(lines.filter(QStringLiteral("box\t")).first().contains(
                         opened ? QLatin1String("The update could not be installed automatically. The disk image has "
                                                "been opened so that you can install it yourself.")
                                : QLatin1String("The update could not be installed.")),
                     qPrintable(run.out));
            QVERIFY(lines.contains(QStringLiteral("closed")));
        }
        if (service) {
            const QString serviceLog = QString::fromUtf8(read(world + QStringLiteral("/usr-local-Kestrelsweep/main.log")));
            QVERIFY2(serviceLog.contains(
                         QLatin1String("sudo installer -verboseR -pkg /tmp/Kestrelsweep/Kestrelsweep.pkg -target /")),
                     qPrintable(serviceLog.right(3000)));
            const QString backwards = QStringLiteral("the package's version %1 is not newer than the installed 1.0")
                                          .arg(QString::fromLatin1(packageVersion));
            QCOMPARE(serviceLog.contains(backwards), packageVersion != "2.0");
        }
        // The mount folder is left empty.
        QCOMPARE(QDir(world + QStringLiteral("/private/tmp/Kestrelsweep")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
