// libFuzzer target for the property-list reader behind hpSettingsFormat() on
// Linux: whatever bytes a settings file or Info.plist holds, reading neither
// crashes, aborts nor expands past its caps, and what the pre-scan lets through
// libplist builds no deeper and no larger than the pre-scan counted.
#include "hpPlistRead.h"

#include <QBuffer>

#include <plist/plist.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// Recursive, as only trees the pre-scan let through get here.
void measure(plist_t node, int depth, HpPlistShape &seen)
{
    seen.depth = std::max(seen.depth, depth);
    ++seen.values;
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        for (uint32_t i = 0, n = plist_array_get_size(node); i < n; ++i)
            measure(plist_array_get_item(node, i), depth + 1, seen);
        break;
    case PLIST_DICT: {
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            plist_t val = nullptr;
            plist_dict_next_item(node, it, nullptr, &val);
            if (!val)
                break;
            ++seen.values; // the key
            measure(val, depth + 1, seen);
        }
        free(it);
        break;
    }
    default:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QSettings::SettingsMap map;
    hpReadPlist(buffer, map);

    HpPlistShape shape;
    if (!hpPlistSafeToParse(bytes, &shape))
        return 0;
    plist_t root = nullptr;
    if (bytes.startsWith("bplist00"))
        plist_from_bin(bytes.constData(), uint32_t(size), &root);
    else
        plist_from_xml(bytes.constData(), uint32_t(size), &root);
    if (!root)
        return 0;
    HpPlistShape seen;
    measure(root, 1, seen);
    plist_free(root);
    if (seen.depth > shape.depth || seen.values > shape.values)
        abort();
    return 0;
}
