#include "hpSignature.h"
#include "hpVersionOrder.h"

#include <QtTest>

#include <sodium.h>

// The update signature check: only the key's own signature over exactly the
// signed bytes passes, a page's never for a package nor the other way round;
// and the order of release versions that decides what is an update.
class TestSignature : public QObject
{
    Q_OBJECT

private slots:
    void verify_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("valid");
        QTest::newRow("as signed") << "" << true;
        QTest::newRow("one message byte changed") << "message" << false;
        QTest::newRow("signature changed") << "signature" << false;
        QTest::newRow("signature cut") << "cut" << false;
        QTest::newRow("another key") << "key" << false;
        QTest::newRow("version relabelled") << "version" << false;
        QTest::newRow("page signature replayed as package signature") << "as-package" << false;
        QTest::newRow("package signature replayed as page signature") << "as-page" << false;
    }

    void verify()
    {
        QFETCH(QString, change);
        QFETCH(bool, valid);
        QVERIFY(sodium_init() >= 0);
        unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
        crypto_sign_keypair(pk, sk);
        QByteArray image(100000, 'i');
        QByteArray message = change == QLatin1String("as-page") ? hpPackageSignedMessage("2.0", image)
                                                                : hpUpdateSignedMessage("2.0", image);
        QByteArray signature(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char *>(message.constData()), message.size(), sk);
        QByteArray key(reinterpret_cast<const char *>(pk), sizeof pk);
        if (change == QLatin1String("message"))
            message[message.size() / 2] = 'j';
        else if (change == QLatin1String("signature"))
            signature[3] = char(signature[3] ^ 1);
        else if (change == QLatin1String("cut"))
            signature.chop(1);
        else if (change == QLatin1String("key"))
            key[0] = char(key[0] ^ 1);
        else if (change == QLatin1String("version"))
            message = hpUpdateSignedMessage("3.0", image);
        else if (change == QLatin1String("as-package"))
            message = hpPackageSignedMessage("2.0", image);
        else if (change == QLatin1String("as-page"))
            message = hpUpdateSignedMessage("2.0", image);
        QCOMPARE(hpSignatureValid(message, signature, key), valid);
    }

    // The signature file as the service reads it: label, version, 64 bytes.
    void packageSignatureFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("version"); // empty: refused
        const QByteArray sig(64, '\n'); // newlines in the signature do not end the version
        QTest::newRow("as made") << hpPackageSignatureFile("1.0.10", sig) << QByteArray("1.0.10");
        QTest::newRow("raw signature, no label") << sig << QByteArray();
        QTest::newRow("signature cut") << hpPackageSignatureFile("1.0.10", sig.left(63)) << QByteArray();
        QTest::newRow("a byte too many") << hpPackageSignatureFile("1.0.10", sig + 'x') << QByteArray();
        QTest::newRow("page label") << "Kestrelsweep update\n1.0.10\n" + sig << QByteArray();
        QTest::newRow("control character in the version") << hpPackageSignatureFile("1.0\t10", sig) << QByteArray();
        QTest::newRow("longer than read") << hpPackageSignatureFile(QByteArray(200, '1'), sig) << QByteArray();
    }

    void packageSignatureFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, version);
        QByteArray gotVersion, gotSignature;
        QCOMPARE(hpPackageSignatureSplit(file, &gotVersion, &gotSignature), !version.isEmpty());
        QCOMPARE(gotVersion, version);
        QCOMPARE(gotSignature.size(), version.isEmpty() ? 0 : hpSignatureBytes);
    }

    void versionOrder_data()
    {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.0.10 vs 1.0.9") << "1.0.10" << "1.0.9" << true;
        QTest::newRow("1.0.9 vs 1.0.10") << "1.0.9" << "1.0.10" << false;
        QTest::newRow("equal") << "1.0.10" << "1.0.10" << false;
        QTest::newRow("equal with a trailing zero") << "1.0.10.0" << "1.0.10" << false;
        QTest::newRow("one more number") << "1.0.10.1" << "1.0.10" << true;
        QTest::newRow("leading zeros are numbers") << "1.0.010" << "1.0.9" << true;
        QTest::newRow("2 vs 1.99.99") << "2" << "1.99.99" << true;
        QTest::newRow("nine digits") << "999999999" << "999999998" << true;
        QTest::newRow("ten digits: no release") << "1000000000" << "1" << false;
        QTest::newRow("letters: no release") << "1.0.11b" << "1.0.10" << false;
        QTest::newRow("blank: no release") << "1.0.11 " << "1.0.10" << false;
        QTest::newRow("empty number: no release") << "1..1" << "1.0" << false;
        QTest::newRow("sign: no release") << "+2.0" << "1.0" << false;
        QTest::newRow("other script's digits: no release") << QString::fromUtf8("\xd9\xa2.0") << "1.0" << false;
        QTest::newRow("nine numbers: no release") << "1.0.0.0.0.0.0.0.1" << "1.0" << false;
        QTest::newRow("empty: no release") << "" << "1.0" << false;
        QTest::newRow("current not a release: nothing newer") << "9.0" << "1.0 beta" << false;
        QTest::newRow("current missing: nothing newer") << "9.0" << "" << false;
    }

    void versionOrder()
    {
        QFETCH(QString, offered);
        QFETCH(QString, current);
        QFETCH(bool, newer);
        QCOMPARE(hpVersionNewer(offered, current), newer);
    }

    void keyFromHex()
    {
        QCOMPARE(hpMakerUpdateKey().size(), hpPublicKeyBytes);
        QCOMPARE(hpPublicKeyFromHex(QByteArray(64, 'a')), QByteArray(32, char(0xaa)));
        QVERIFY(hpPublicKeyFromHex(QByteArray(63, 'a')).isEmpty());
        QVERIFY(hpPublicKeyFromHex(QByteArray(62, 'a') + "zz").isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestSignature)
#include "tst_signature.moc"
