#include "hpUpdateKey.h"

#include "hpSignature.h"

#include <QFile>

QByteArray hpUpdatePublicKey()
{
#ifdef KS_TEST_HOOKS
    if (qEnvironmentVariableIsSet("KS_TEST_UPDATE_PUBKEY"))
        return hpPublicKeyFromHex(qgetenv("KS_TEST_UPDATE_PUBKEY"));
#endif
    return hpMakerUpdateKey();
}

QByteArray hpUpdateSignatureBytes(const QByteArray &signature)
{
    if (signature.size() == hpSignatureBytes)
        return signature;
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(signature.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != hpSignatureBytes)
        return QByteArray();
    return decoded.decoded;
}

bool hpUpdateImageSigned(const QString &path, const QString &version, const QByteArray &signature)
{
    const QByteArray raw = hpUpdateSignatureBytes(signature);
    const QByteArray key = hpUpdatePublicKey();
    if (raw.isEmpty() || key.size() != hpPublicKeyBytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return hpSignatureValid(hpUpdateSignedMessage(version.toLatin1(), image), raw, key);
}
