#pragma once

#include <QSettings>

// The settings format of every property-list file of the system: the settings
// file, the size caches and the Info.plist of bundles. Reads XML and binary
// property lists, writes XML, with the key layout of Qt's macOS backend.
QSettings::Format hpSettingsFormat();

// The string stored under key at the top of the property list held in data
// (XML or binary), or empty when data is none or the value is no string.
QString hpPlistString(const QByteArray &data, const QString &key);
