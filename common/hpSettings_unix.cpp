#include "hpSettings.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QTimeZone>

#include <plist/plist.h>

#include <climits>
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
    // A hostile file could nest without end; real property lists never do.
    if (!node || depth > 64)
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
        char *s = nullptr;
        plist_get_string_val(node, &s);
        const QString str = QString::fromUtf8(s);
        free(s);
        return str;
    }
    case PLIST_DATA: {
        char *d = nullptr;
        uint64_t len = 0;
        plist_get_data_val(node, &d, &len);
        const QByteArray bytes(d, int(qMin<uint64_t>(len, INT_MAX)));
        free(d);
        return bytes;
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

bool readPlist(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray data = device.readAll();
    if (data.isEmpty())
        return true;
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
        map.insert(toQtKey(QString::fromUtf8(key)), fromNode(val, 1));
    });
    return true;
}

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
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("plist"), readPlist, writePlist);
    return format;
}
