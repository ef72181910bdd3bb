#pragma once

#include <QByteArray>

// Ed25519 signatures of updates. The application checks the downloaded image
// against the signature its version page carries; the helper service checks
// the package it is asked to install against the signature file beside it.
// Both trust only the maker's key, fixed at build time. The two signed
// messages begin with different labels and both carry the version, so a
// signature made for one can never pass as the other, nor for another version.

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

// The start of a package's signature file, and of what its signature covers:
// "Kestrelsweep package\n" + version + "\n". The service learns the signed
// version from it.
QByteArray hpPackageSignatureHead(const QByteArray &version);
// What the package's signature covers: the head, then the package's bytes.
QByteArray hpPackageSignedMessage(const QByteArray &version, const QByteArray &package);
// The signature file: head + the 64-byte signature.
QByteArray hpPackageSignatureFile(const QByteArray &version, const QByteArray &signature);
// Its version and signature; false unless it is exactly head + 64 bytes with a
// version free of control characters.
bool hpPackageSignatureSplit(const QByteArray &file, QByteArray *version, QByteArray *signature);
// Longest signature file worth reading: the label, a long version, the signature.
constexpr int hpPackageSignatureMaxBytes = 256;
