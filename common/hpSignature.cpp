#include "hpSignature.h"

#include <sodium.h>

QByteArray hpMakerUpdateKey()
{
    return hpPublicKeyFromHex(QByteArrayLiteral(KS_UPDATE_PUBKEY));
}

QByteArray hpPublicKeyFromHex(const QByteArray &hex)
{
    if (hex.size() != 2 * hpPublicKeyBytes)
        return QByteArray();
    for (char c : hex) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return QByteArray();
    }
    return QByteArray::fromHex(hex);
}

bool hpSignatureValid(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey)
{
    static const bool ready = sodium_init() >= 0;
    if (!ready || signature.size() != hpSignatureBytes || publicKey.size() != hpPublicKeyBytes)
        return false;
    return crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
                                       reinterpret_cast<const unsigned char *>(message.constData()),
                                       static_cast<unsigned long long>(message.size()),
                                       reinterpret_cast<const unsigned char *>(publicKey.constData()))
           == 0;
}

QByteArray hpUpdateSignedMessage(const QByteArray &version, const QByteArray &image)
{
    return QByteArrayLiteral("Kestrelsweep update\n") + version + '\n' + image;
}
