#pragma once

#include <QByteArray>

// Ed25519 signatures of updates. The application checks the downloaded image
// against the signature its version page carries; the helper service checks
// the package it is asked to install against the detached signature beside
// it. Both trust only the maker's key, fixed at build time.

constexpr int hpSignatureBytes = 64;
constexpr int hpPublicKeyBytes = 32;

// The maker's public key of this build (32 bytes).
QByteArray hpMakerUpdateKey();
// The 32 bytes of a key given as 64 hex digits; empty when it is not one.
QByteArray hpPublicKeyFromHex(const QByteArray &hex);
// Whether signature (64 bytes) is publicKey's (32 bytes) over message.
bool hpSignatureValid(const QByteArray &message, const QByteArray &signature, const QByteArray &publicKey);
// What the version page's signature covers: the offered version text and the
// image's bytes, so an old image cannot be offered under a new version.
QByteArray hpUpdateSignedMessage(const QByteArray &version, const QByteArray &image);
