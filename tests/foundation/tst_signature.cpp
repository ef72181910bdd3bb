#include "hpSignature.h"

#include <QtTest>

#include <sodium.h>

// The update signature check: only the key's own signature over exactly the
// signed bytes passes.
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
    }

    void verify()
    {
        QFETCH(QString, change);
        QFETCH(bool, valid);
        QVERIFY(sodium_init() >= 0);
        unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
        crypto_sign_keypair(pk, sk);
        QByteArray image(100000, 'i');
        QByteArray message = hpUpdateSignedMessage("2.0", image);
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
        QCOMPARE(hpSignatureValid(message, signature, key), valid);
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
