#include "hpSettings.h"
#include "hpPlistRead.h"

#include <QBuffer>
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QTimeZone>
#include <QVarLengthArray>

#include <plist/plist.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace {

// Qt's macOS backend stores a Qt key in a flat dictionary with '/' written as
// '.', '.' as U+00B7 and U+00B7 as '/'; files must mean the same on both systems.
const QChar kMiddleDot(0x00B7);

QString toPlistKey(const QString &qtKey)
{
    QString key = qtKey;
    for (QChar &c : key) {
        if (c == QLatin1Char('/'))
            c = QLatin1Char('.');
        else if (c == QLatin1Char('.'))
            c = kMiddleDot;
        else if (c == kMiddleDot)
            c = QLatin1Char('/');
    }
    return key;
}

QString toQtKey(const QString &plistKey)
{
    QString key = plistKey;
    for (QChar &c : key) {
        if (c == QLatin1Char('.'))
            c = QLatin1Char('/');
        else if (c == kMiddleDot)
            c = QLatin1Char('.');
        else if (c == QLatin1Char('/'))
            c = kMiddleDot;
    }
    return key;
}

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const qint64 kAppleEpochOffset = 978307200;

struct PlistDeleter {
    void operator()(void *p) const { plist_free(static_cast<plist_t>(p)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

template<typename Visit>
void forEachItem(plist_t dict, Visit visit)
{
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(dict, &it);
    if (!it)
        return;
    for (;;) {
        char *key = nullptr;
        plist_t val = nullptr;
        plist_dict_next_item(dict, it, &key, &val);
        if (!val) {
            free(key);
            break;
        }
        visit(key, val);
        free(key);
    }
    free(it);
}

QVariant fromNode(plist_t node, int depth)
{
    // The pre-scan refused a deeper file whole; this only keeps the recursion bounded.
    if (!node || depth > kPlistMaxDepth)
        return QVariant();
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return bool(b);
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        const qint64 v = qint64(u); // signed integers are stored two's complement
        if (v >= INT_MIN && v <= INT_MAX)
            return int(v);
        return v;
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return d;
    }
    case PLIST_STRING: {
        // Not plist_get_string_val: it aborts the process on a string holding U+0000.
        uint64_t len = 0;
        const char *s = plist_get_string_ptr(node, &len);
        return QString::fromUtf8(s, s ? int(qMin<uint64_t>(len, INT_MAX)) : 0);
    }
    case PLIST_DATA: {
        uint64_t len = 0;
        const char *d = plist_get_data_ptr(node, &len);
        return QByteArray(d, d ? int(qMin<uint64_t>(len, INT_MAX)) : 0);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QDateTime::fromMSecsSinceEpoch((qint64(sec) + kAppleEpochOffset) * 1000 + usec / 1000, Qt::UTC);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        for (uint32_t i = 0; i < n; ++i)
            list.append(fromNode(plist_array_get_item(node, i), depth + 1));
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        forEachItem(node, [&](const char *key, plist_t val) {
            map.insert(QString::fromUtf8(key), fromNode(val, depth + 1));
        });
        return map;
    }
    default:
        return QVariant();
    }
}

plist_t toNode(const QVariant &value)
{
    switch (int(value.type())) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        return plist_new_data(b.constData(), uint64_t(b.size()));
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch();
        return plist_new_date(int32_t(ms / 1000 - kAppleEpochOffset), int32_t((ms % 1000) * 1000));
    }
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant &v : value.toList())
            plist_array_append_item(array, toNode(v));
        return array;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), toNode(it.value()));
        return dict;
    }
    default:
        break;
    }
    if (value.canConvert<QString>() && value.type() != QVariant::Invalid)
        return plist_new_string(value.toString().toUtf8().constData());
    if (!value.isValid())
        return plist_new_string("");
    // Anything else keeps its Qt serialisation, so it still reads back.
    QByteArray blob;
    QDataStream out(&blob, QIODevice::WriteOnly);
    out << value;
    return plist_new_data(blob.constData(), uint64_t(blob.size()));
}

const char *findText(const char *from, const char *end, const char *text)
{
    const size_t n = strlen(text);
    if (end - from < qint64(n))
        return nullptr;
    return static_cast<const char *>(memmem(from, size_t(end - from), text, n));
}

// libplist skips quoted text inside markup; a quote pair that does not close
// before the markup's end could hide '<' or '>' from one reader and not the other.
bool quotesPaired(const char *from, const char *to)
{
    return std::count(from, to, '"') % 2 == 0;
}

// Finds markup the way libplist's XML parser does, so the nesting counted here
// bounds the tree it builds (and frees recursively); where the two could read
// a construct differently, the file is refused.
bool scanXml(const char *p, const char *end, HpPlistShape &shape)
{
    // XML holds no U+0000; libplist would carry one into a string or key.
    if (memchr(p, 0, size_t(end - p)))
        return false;
    int depth = 0;
    bool rooted = false;
    while ((p = static_cast<const char *>(memchr(p, '<', size_t(end - p))))) {
        if (++p == end)
            return false;
        if (end - p >= 3 && !memcmp(p, "!--", 3)) {
            p = findText(p + 3, end, "-->");
            if (!p)
                return false;
            p += 3;
        } else if (end - p >= 8 && !memcmp(p, "![CDATA[", 8)) {
            p = findText(p + 8, end, "]]>");
            if (!p)
                return false;
            p += 3;
        } else if (end - p >= 8 && !memcmp(p, "!DOCTYPE", 8)) {
            const char *stop = std::find_if(p + 8, end, [](char c) { return c == '[' || c == '>'; });
            if (stop == end || !quotesPaired(p, stop))
                return false;
            if (*stop == '[') {
                const char *close = findText(stop, end, "]>");
                if (!close || !quotesPaired(stop, close))
                    return false;
                stop = close + 1;
            }
            p = stop + 1;
        } else if (*p == '!') {
            return false;
        } else if (*p == '?') {
            const char *close = findText(p, end, "?>");
            if (!close || !quotesPaired(p, close))
                return false;
            p = close + 2;
        } else {
            const bool closing = *p == '/';
            const char *name = p;
            p = std::find_if(p, end, [](char c) {
                return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '<' || c == '>';
            });
            const bool plistTag = p - name == 5 && !memcmp(name, "plist", 5);
            if (p == end || *p == '<')
                return false;
            if (*p != '>') {
                const char *attributes = p;
                p = std::find_if(p, end, [](char c) { return c == '<' || c == '>'; });
                if (p == end || *p == '<' || !quotesPaired(attributes, p))
                    return false;
            }
            const bool selfClosed = p[-1] == '/';
            ++p;
            if (closing) {
                depth = qMax(0, depth - 1);
            } else {
                // libplist takes the first node as the root and opens it even when written <array/>.
                const bool empty = selfClosed && (rooted || plistTag);
                rooted = rooted || !plistTag;
                const int level = depth + 1;
                if (++shape.values > kPlistMaxValues || level > kPlistMaxDepth)
                    return false;
                shape.depth = qMax(shape.depth, level);
                if (!empty)
                    depth = level;
            }
        }
    }
    return true;
}

quint64 bigEndian(const uchar *p, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

// Walks the object graph as libplist's binary parser will, shared references
// expanded: libplist recurses once per level and copies an object for every
// reference to it, so a small file can nest past the stack or expand to gigabytes.
bool scanBinary(const uchar *d, qint64 size, HpPlistShape &shape)
{
    if (size < 8 + 32)
        return false;
    const uchar *trailer = d + size - 32;
    const int offsetSize = trailer[6];
    const int refSize = trailer[7];
    const quint64 objects = bigEndian(trailer + 8, 8);
    const quint64 top = bigEndian(trailer + 16, 8);
    const quint64 table = bigEndian(trailer + 24, 8);
    const quint64 tableEnd = quint64(size) - 32;
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8 || table < 8 || table > tableEnd
        || objects > (tableEnd - table) / quint64(offsetSize) || top >= objects)
        return false;

    struct Container {
        quint64 next;  // where the next reference is
        quint64 left;  // references still to visit
        quint64 keys;  // of which keys, which come first
    };
    QVarLengthArray<Container, 32> path;
    qint64 payload = 0;

    auto visit = [&](quint64 index, bool isKey) {
        if (index >= objects || ++shape.values > kPlistMaxValues || path.size() >= kPlistMaxDepth)
            return false;
        shape.depth = qMax(shape.depth, path.size() + 1);
        quint64 pos = bigEndian(d + table + index * quint64(offsetSize), offsetSize);
        if (pos < 8 || pos >= table)
            return false;
        const int type = d[pos] >> 4;
        quint64 count = d[pos] & 0xF;
        ++pos;
        const bool counted = type == 0x4 || type == 0x5 || type == 0x6 || type == 0xA || type == 0xC || type == 0xD;
        if (counted && count == 0xF) {
            if (pos >= table || d[pos] >> 4 != 0x1 || (d[pos] & 0xF) > 3)
                return false;
            const int bytes = 1 << (d[pos] & 0xF);
            ++pos;
            if (quint64(bytes) > table - pos)
                return false;
            count = bigEndian(d + pos, bytes);
            pos += quint64(bytes);
        }
        const quint64 room = table - pos;
        if (isKey && type != 0x5 && type != 0x6)
            return false;
        switch (type) {
        case 0x4:
            if (count > room)
                return false;
            payload += qint64(count);
            break;
        case 0x5:
            // libplist's getters abort on a string or key holding U+0000.
            if (count > room || memchr(d + pos, 0, count))
                return false;
            payload += qint64(count);
            break;
        case 0x6:
            if (count > room / 2)
                return false;
            for (quint64 i = 0; i < count; ++i) {
                if (!d[pos + 2 * i] && !d[pos + 2 * i + 1])
                    return false;
            }
            payload += qint64(count) * 3; // as UTF-8
            break;
        case 0xA:
        case 0xC:
        case 0xD: {
            const quint64 refs = type == 0xD ? 2 * count : count;
            if (count > room || refs > room / quint64(refSize))
                return false;
            path.append({pos, refs, type == 0xD ? count : 0});
            break;
        }
        default:
            break; // scalars: libplist checks their bounds itself
        }
        return payload <= kPlistMaxPayloadBytes;
    };

    if (!visit(top, false))
        return false;
    while (!path.isEmpty()) {
        Container &c = path.last();
        if (!c.left) {
            path.removeLast();
            continue;
        }
        const quint64 ref = bigEndian(d + c.next, refSize);
        const bool isKey = c.keys > 0;
        c.next += quint64(refSize);
        --c.left;
        if (isKey)
            --c.keys;
        if (!visit(ref, isKey))
            return false;
    }
    return true;
}

} // namespace

bool hpPlistSafeToParse(const QByteArray &data, HpPlistShape *shape)
{
    HpPlistShape measured;
    if (data.size() > kPlistMaxFileBytes)
        return false;
    const bool safe = data.startsWith("bplist00")
        ? scanBinary(reinterpret_cast<const uchar *>(data.constData()), data.size(), measured)
        : scanXml(data.constData(), data.constData() + data.size(), measured);
    if (shape)
        *shape = measured;
    return safe;
}

bool hpReadPlist(QIODevice &device, QSettings::SettingsMap &map)
{
    // Checked before reading, or a huge file is read whole.
    const qint64 size = device.size();
    if (size > kPlistMaxFileBytes)
        return false;
    const QByteArray data = device.read(size);
    if (data.isEmpty())
        return true;
    if (!hpPlistSafeToParse(data))
        return false;
    plist_t root = nullptr;
    if (data.startsWith("bplist00"))
        plist_from_bin(data.constData(), uint32_t(data.size()), &root);
    else if (data.contains("<plist"))
        plist_from_xml(data.constData(), uint32_t(data.size()), &root);
    PlistPtr guard(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return false;
    // The top level goes straight into Qt's map: the size caches hold an entry
    // per installed item and are read on every start.
    forEachItem(root, [&](const char *key, plist_t val) {
        map.insert(toQtKey(QString::fromUtf8(key)), fromNode(val, 2));
    });
    return true;
}

namespace {

bool writePlist(QIODevice &device, const QSettings::SettingsMap &map)
{
    PlistPtr root(plist_new_dict());
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        plist_dict_set_item(root.get(), toPlistKey(it.key()).toUtf8().constData(), toNode(it.value()));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml)
        return false;
    const bool ok = device.write(xml, length) == qint64(length);
    plist_to_xml_free(xml);
    return ok;
}

} // namespace

QSettings::Format hpSettingsFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("plist"), hpReadPlist, writePlist);
    return format;
}

QString hpPlistString(const QByteArray &data, const QString &key)
{
    QBuffer buffer;
    buffer.setData(data);
    QSettings::SettingsMap map;
    if (!buffer.open(QIODevice::ReadOnly) || !hpReadPlist(buffer, map))
        return QString();
    const QVariant value = map.value(toQtKey(key));
    return value.type() == QVariant::String ? value.toString() : QString();
}
