#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// The POSIX tar archives that stand in for disk images and installer
// packages: plain files and folders only.
struct HpTarEntry
{
    QString name; // relative, "/"-separated, without "." or ".." components
    bool folder = false;
    QByteArray data;
    int mode = 0644;
};

// Reads the whole archive; false with *why on anything else than a well-formed
// archive of plain files and folders with safe relative names (an absolute
// name, "..", a link, a device or an extension header is refused).
bool hpTarRead(const QByteArray &archive, QVector<HpTarEntry> *entries, QString *why);

// Reads a regular file whole, refusing anything else (a FIFO would block).
bool hpReadRegularFile(const QString &path, QByteArray *data, QString *why);

// Writes one entry below dir, making every folder on the way and never going
// through a link, so nothing lands outside dir. replace: an existing file is
// overwritten (a package installed over an older one); otherwise it is an error.
bool hpTarWriteEntry(const QString &dir, const HpTarEntry &entry, bool replace);
