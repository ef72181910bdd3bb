#include "hpImageSize.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <QVector>
#include <QtEndian>

#include <cstring>

namespace {

// Real icon files hold a few dozen entries. A longer list is refused instead
// of walked: a file of a million tiny members would otherwise cost seconds.
const int kMaxEntries = 1024;

const char kPngMagic[] = "\x89PNG\r\n\x1a\n";
const char kJp2Magic[] = "\x00\x00\x00\x0cjP  \r\n\x87\n";

constexpr quint32 typeCode(const char (&name)[5])
{
    return quint32(uchar(name[0])) << 24 | quint32(uchar(name[1])) << 16 | quint32(uchar(name[2])) << 8
           | quint32(uchar(name[3]));
}

class Walk
{
public:
    explicit Walk(const QByteArray &data)
        : mData(data)
    {
    }

    bool icns();
    bool ico();
    QString why;

private:
    struct Entry {
        quint32 type;
        quint32 length; // header included
        qint64 data;
    };

    bool entries(qint64 from, qint64 to, bool top);
    bool member(qint64 at, qint64 length);
    bool counted();
    bool refuse(const char *reason)
    {
        why = QString::fromLatin1(reason);
        return false;
    }
    quint32 be32(qint64 at) const { return qFromBigEndian<quint32>(mData.constData() + at); }
    quint32 le32(qint64 at) const { return qFromLittleEndian<quint32>(mData.constData() + at); }
    quint16 le16(qint64 at) const { return qFromLittleEndian<quint16>(mData.constData() + at); }
    bool startsWith(qint64 at, qint64 length, const char *magic, int size) const
    {
        return length >= size && std::memcmp(mData.constData() + at, magic, size_t(size)) == 0;
    }

    const QByteArray &mData;
    qint64 mDecoded = 0;
    int mEntries = 0;
};

bool Walk::counted()
{
    return ++mEntries <= kMaxEntries || refuse("too many images");
}

// A PNG or JPEG 2000 member is measured from its header; anything else the
// container decodes itself, at sizes its entry type fixes.
bool Walk::member(qint64 at, qint64 length)
{
    QByteArray format;
    if (startsWith(at, length, kPngMagic, sizeof kPngMagic - 1))
        format = QByteArrayLiteral("png");
    else if (startsWith(at, length, kJp2Magic, sizeof kJp2Magic - 1))
        format = QByteArrayLiteral("jp2");
    else
        return true;
    QByteArray bytes = QByteArray::fromRawData(mData.constData() + at, int(length));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        return true; // nothing here decodes it either
    const QSize size = reader.size();
    if (!hpIconFits(size))
        return refuse("image too large");
    mDecoded += hpPixelBytes(size);
    return mDecoded <= hpMaxIconBytes || refuse("image too large");
}

// ICNS: an 8-byte header ("icns", the file's length), then entries of a 4-byte
// type and a 4-byte big-endian length that counts those 8 bytes.
bool Walk::icns()
{
    if (mData.size() < 8 || !mData.startsWith("icns") || be32(4) != quint32(mData.size()))
        return refuse("malformed icon file");
    return entries(8, mData.size(), true);
}

bool Walk::entries(qint64 from, qint64 to, bool top)
{
    QVector<Entry> list;
    for (qint64 at = from; at < to; at += list.last().length) {
        if (to - at < 8 || be32(at) == 0 || be32(at + 4) < 8 || be32(at + 4) > to - at)
            return refuse("malformed icon file");
        if (!counted())
            return false;
        list.append({be32(at), be32(at + 4), at + 8});
    }
    for (int i = 0; i < list.size(); ++i) {
        const Entry &entry = list.at(i);
        const qint64 length = entry.length - 8;
        // Whatever its type, an entry that Qt's reader reaches through the
        // table of contents is decoded when it starts like an image.
        if (!member(entry.data, length))
            return false;
        if (!top)
            continue; // Qt's reader looks no deeper
        switch (entry.type) {
        case typeCode("TOC "): {
            // Qt's reader finds the members at the offsets the table adds up,
            // so the table must list the entries that follow it, as they are.
            const int listed = int(length / 8);
            if (length % 8 != 0 || listed > list.size() - 1 - i)
                return refuse("malformed icon file");
            for (int k = 0; k < listed; ++k) {
                const Entry &next = list.at(i + 1 + k);
                if (be32(entry.data + 8 * k) != next.type || be32(entry.data + 8 * k + 4) != next.length)
                    return refuse("malformed icon file");
            }
            break;
        }
        case typeCode("tile"):
        case typeCode("over"):
        case typeCode("open"):
        case typeCode("drop"):
        case typeCode("odrp"):
            // Containers of icon variants, whose entries Qt's reader decodes too.
            if (!entries(entry.data, entry.data + length, false))
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

// ICO and CUR: a 6-byte header whose last two bytes count the 16-byte
// directory entries after it; each entry ends with the member's length and
// offset, little-endian. Qt's reader decodes a member that starts like a PNG
// as one, whatever size its entry gives.
bool Walk::ico()
{
    if (mData.size() < 6)
        return true;
    const int count = le16(4);
    for (int i = 0; i < count; ++i) {
        const qint64 at = 6 + 16 * qint64(i);
        if (at + 16 > mData.size())
            break; // the reader stops here too
        if (!counted())
            return false;
        const qint64 offset = le32(at + 12);
        if (offset < mData.size() && !member(offset, qMin<qint64>(le32(at + 8), mData.size() - offset)))
            return false;
    }
    return true;
}

} // namespace

bool hpIconFits(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= hpMaxIconSide && size.height() <= hpMaxIconSide;
}

qint64 hpPixelBytes(const QSize &size)
{
    return qint64(size.width()) * size.height() * 4;
}

bool hpIconMembersFit(const QByteArray &data, const QByteArray &format, QString *why)
{
    Walk walk(data);
    bool fits = true;
    if (format == "icns")
        fits = walk.icns();
    else if (format == "ico" || format == "cur")
        fits = walk.ico();
    if (!fits && why)
        *why = walk.why;
    return fits;
}
