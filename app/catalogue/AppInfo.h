#pragma once

#include <QIcon>
#include <QString>

// One catalogued item: an application, widget, plug-in or preference pane.
// Copies carry every field but the icon, which the list view loads from iconDir.
class AppInfo
{
public:
    AppInfo() = default;
    AppInfo(const AppInfo &other);
    AppInfo &operator=(const AppInfo &other);
    ~AppInfo() = default;

    int reserved = 0;
    QString name;
    QString iconDir;
    QString path;
    QString version;
    QString notice;
    QString bundleId;
    qint64 size = 0;
    QString modifyTime;
    QString lastOpenTime;
    int kind = 0;
    int sizeState = 0;
    bool reservedFlag = false;
    QIcon icon;
};
