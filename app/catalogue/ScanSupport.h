#pragma once

#include <QFileInfoList>
#include <QString>

class AppInfo;
class QDateTime;

// Shared by the three scanners; not part of the catalogue's interface.
namespace scan {

// Entries of a folder: files and folders, no hidden ones, links followed,
// sorted by name case-sensitively.
QFileInfoList listFolder(const QString &folder);
QString timeText(const QDateTime &time);
// Last-read time of a file, empty when there is no such file.
QString lastReadText(const QString &file);
// Creates iconDir and converts source into iconDir/icon_32x32.png with sips.
void convertIcon(const QString &iconDir, const QString &source);
// Hands one record to the catalogue on its own, so the list fills while the scan runs.
void publish(AppInfo *info);

} // namespace scan
