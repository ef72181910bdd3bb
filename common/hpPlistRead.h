#pragma once

#include <QSettings>

// The reading side of hpSettingsFormat() where Qt has no native property-list
// reader (hpSettings_unix.cpp), open to the tests and the fuzzer.

// Anything beyond these reads as empty. Real property lists stay far below
// them; the settings file and size caches hold a few values per application.
constexpr qint64 kPlistMaxFileBytes = 8 << 20;
// Nesting levels, the top dictionary being the first (in XML the <plist>
// element counts as one more); the reader keeps every level the pre-scan lets
// through, so a deeper file is refused whole rather than cut.
constexpr int kPlistMaxDepth = 64;
constexpr qint64 kPlistMaxValues = 1 << 18;
// Bytes of strings and data once shared references are expanded.
constexpr qint64 kPlistMaxPayloadBytes = 32 << 20;

// What libplist will build from a file the pre-scan lets through: at most this
// deep and this many nodes (dictionary keys included).
struct HpPlistShape {
    int depth = 0;
    qint64 values = 0;
};

// Whether the bytes may be handed to libplist: within the limits above, and
// free of what it crashes or aborts on (deep nesting, U+0000 in strings).
bool hpPlistSafeToParse(const QByteArray &data, HpPlistShape *shape = nullptr);

bool hpReadPlist(QIODevice &device, QSettings::SettingsMap &map);
