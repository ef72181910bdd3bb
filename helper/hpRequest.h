#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Decoding and checking of the commands the helper service receives. Pure
// functions of their input (no file system, no sockets), so that the fuzzer
// can drive them and the service only acts on what passed them.

struct HpRequest
{
    enum Kind { Refused, Remove, Reinstall };
    Kind kind = Refused;
    QString reason;    // Refused: why, for the log
    QStringList paths; // Remove: the paths in request order
    QString package;   // Reinstall: the package path
};

// The mount folder of an update image; the only place a package may come from.
extern const char hpMountFolder[];

// Strict Base64 (standard alphabet, "=" padding, nothing else) of a datagram
// that arrived whole. trueSize is the datagram's size as the socket reported
// it before reading, so a datagram cut by the read is recognised.
bool hpDecodeCommand(const QByteArray &datagram, qint64 trueSize, QByteArray *text, QString *reason);

// "[remove]N;0:/a;1:/b": the count must match, indices run 0..N-1, UTF-8.
// The paths are not judged here; see hpPathRefusal.
HpRequest hpParseRemove(const QByteArray &text);

// Only "[reinstall]sudo installer -verboseR -pkg P -target /" with P a plain
// name directly inside the mount folder; whether P is a regular file is for
// the caller to check on disk.
HpRequest hpParseReinstall(const QByteArray &text);

// Decode, then dispatch on the "[reinstall]" prefix.
HpRequest hpParseCommand(const QByteArray &datagram, qint64 trueSize);

// Why the service must not delete this path, judged on its text alone
// (relative or empty, "." or ".." or empty components, NUL, under /Users, a
// protected location); empty when it may go on to the file system checks.
QString hpPathRefusal(const QString &path, const QString &home);
