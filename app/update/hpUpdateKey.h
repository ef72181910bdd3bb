#pragma once

#include <QByteArray>
#include <QString>

// The public key (32 bytes) that downloaded update images must verify
// against: the maker's, or, in builds with test hooks, the one named by
// KS_TEST_UPDATE_PUBKEY (64 hex digits). Empty when that variable is set but
// is no key, so nothing verifies rather than the maker's key by accident.
QByteArray hpUpdatePublicKey();

// The signature as the version page carries it (standard Base64 of 64 bytes)
// or already raw; empty when it is neither.
QByteArray hpUpdateSignatureBytes(const QByteArray &signature);

// Whether the file at path is the image the version page offered: its bytes,
// with the version text, signed by hpUpdatePublicKey().
bool hpUpdateImageSigned(const QString &path, const QString &version, const QByteArray &signature);
