#pragma once

#include <QFileInfoList>
#include <QString>
#include <QStringList>

class AppInfo;
class QFileInfo;
class QSettings;

// Shared by the three scanners; not part of the catalogue's interface.
namespace scan {

// The folder a scanner walks, absolute and clean with one trailing slash, so
// that names derived from it by cutting its length off a bundle path are whole
// ("/" + "/Applications/" from a home of "/" is "/Applications/").
QString scannedFolder(const QString &folder);
// Entries of a folder: files and folders, no hidden ones, links followed,
// sorted by name case-sensitively.
QFileInfoList listFolder(const QString &folder);
// The property list to open with QSettings: the file itself when it is a
// regular file, else an empty name, which QSettings reads as an empty list.
QString plistFile(const QString &path);
// Last-read time of a regular file, empty when there is no such file.
QString lastReadText(const QString &file);
// Fills what every kind reads alike: kind, name (the value of nameKey, else
// the bundle's file name), path, version, notice, identifier, the folder's
// modification time and a size not yet measured.
void readCommonKeys(AppInfo *info, const QFileInfo &bundle, const QSettings &plist, const char *nameKey, int kind);
// Last-read time of the bundle's executable named by CFBundleExecutable.
QString executableReadText(const QString &bundlePath, const QSettings &plist);
// The bundle's CFBundleIconFile in its resources (".icns" added when missing),
// or the fallback when there is no such file.
QString bundleIconSource(const QString &bundlePath, const QSettings &plist, const char *fallback);
// The file names of the size caches, for iconDirFor; read once per scan.
QStringList cacheFileNames();
// The icon folder of a bundle: the icon cache followed by the bundle's path
// relative to its scanned folder, with a "_" before it when its first
// component starts like a cache's file name or with "_", so that no two
// bundles share a folder.
QString iconDirFor(const QString &relativePath, const QStringList &cacheNames);
// Creates iconDir and converts source into iconDir/icon_32x32.png with sips.
void convertIcon(const QString &iconDir, const QString &source);
// The records of the three kinds, for a bundle found in folder (the scanned
// folder its icon folder is named from); the icon is converted the first time.
void readApp(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches);
void readPlugin(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches);
void readWidget(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches);
// Hands one record to the catalogue on its own, so the list fills while the scan runs.
void publish(AppInfo *info);

} // namespace scan
