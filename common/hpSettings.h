#pragma once

#include <QSettings>

// The settings format of every property-list file of the system: the settings
// file, the size caches and the Info.plist of bundles. Reads XML and binary
// property lists, writes XML, with the key layout of Qt's macOS backend.
QSettings::Format hpSettingsFormat();
