#include "hpSignature.h"

#include <sodium.h>

namespace {
const char kPackageLabel[] = "Kestrelsweep package\n";
} // namespace

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

QByteArray hpPackageSignatureHead(const QByteArray &version)
{
    return QByteArray(kPackageLabel) + version + '\n';
}

QByteArray hpPackageSignedMessage(const QByteArray &version, const QByteArray &package)
{
    return hpPackageSignatureHead(version) + package;
}

QByteArray hpPackageSignatureFile(const QByteArray &version, const QByteArray &signature)
{
    return hpPackageSignatureHead(version) + signature;
}

bool hpPackageSignatureSplit(const QByteArray &file, QByteArray *version, QByteArray *signature)
{
    const int labelSize = int(sizeof kPackageLabel) - 1;
    if (file.size() > hpPackageSignatureMaxBytes || file.size() < labelSize + 1 + hpSignatureBytes
        || !file.startsWith(kPackageLabel))
        return false;
    // The signature's own bytes may hold a newline: the version ends at the
    // first one after the label, and exactly the signature must follow it.
    const int end = file.indexOf('\n', labelSize);
    if (end < 0 || file.size() - (end + 1) != hpSignatureBytes)
        return false;
    const QByteArray v = file.mid(labelSize, end - labelSize);
    for (char c : v) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    }
    *version = v;
    *signature = file.mid(end + 1);
    return true;
}
