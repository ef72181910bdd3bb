#pragma once

#include <QString>

// Scanners of the discovery worker. Each walks one folder, given absolute and
// clean with one trailing slash (as scan::scannedFolder makes it, which the
// worker does once per folder), appends one record per bundle to AppCenter as
// soon as it is read, and converts the bundle's icon into the icon cache the
// first time.
void findApps(const QString &folder);
void findPlugins(const QString &folder);
void findWidgets(const QString &folder);

class AppInfo;
// The record a scan makes for one bundle of a kind the scanners know (.app,
// .wdgt, .plugin, .webplugin, .prefPane), icon converted alike, for a bundle
// anywhere (one dropped on the window); false for anything else.
bool readBundleRecord(const QString &bundlePath, AppInfo *info);
