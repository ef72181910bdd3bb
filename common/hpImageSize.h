#pragma once

#include <QtGlobal>

class QByteArray;
class QSize;
class QString;

// An icon is at most hpMaxIconSide pixels a side, and the images of one file
// decode to at most hpMaxIconBytes together: a few hundred kilobytes of PNG can
// claim gigabytes of pixels, so sizes are checked before anything is decoded.
// A file larger than hpMaxIconFileBytes is not read at all.
const int hpMaxIconSide = 1024;
const qint64 hpMaxIconBytes = 50 * 1024 * 1024;
const qint64 hpMaxIconFileBytes = 32 * 1024 * 1024;

bool hpIconFits(const QSize &size);
// Bytes of the 32-bit image a size decodes to.
qint64 hpPixelBytes(const QSize &size);

// Icon containers decode PNG (and JPEG 2000) members whose size they do not
// tell: Qt's ICNS reader reports no size at all, its ICO reader the directory's
// instead of the member's. For data read as such a format ("icns", "ico",
// "cur") this walks the container's entry list, bounded, and measures every
// member from its own header without decoding it. False, with the reason in
// why, when the list is malformed or too long, a member is larger than
// hpMaxIconSide a side, or the members would decode to more than
// hpMaxIconBytes together. Data of any other format passes.
bool hpIconMembersFit(const QByteArray &data, const QByteArray &format, QString *why = nullptr);
