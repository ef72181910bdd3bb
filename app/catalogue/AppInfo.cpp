#include "AppInfo.h"

AppInfo::AppInfo(const AppInfo &other)
{
    *this = other;
}

AppInfo &AppInfo::operator=(const AppInfo &other)
{
    if (this == &other)
        return *this;
    reserved = other.reserved;
    name = other.name;
    iconDir = other.iconDir;
    path = other.path;
    version = other.version;
    notice = other.notice;
    bundleId = other.bundleId;
    size = other.size;
    modifyTime = other.modifyTime;
    lastOpenTime = other.lastOpenTime;
    kind = other.kind;
    sizeState = other.sizeState;
    reservedFlag = other.reservedFlag;
    return *this;
}
