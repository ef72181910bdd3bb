#include "hpSettings.h"

#include <CoreFoundation/CoreFoundation.h>

QSettings::Format hpSettingsFormat()
{
    return QSettings::NativeFormat;
}

QString hpPlistString(const QByteArray &data, const QString &key)
{
    QString value;
    CFDataRef bytes = CFDataCreateWithBytesNoCopy(kCFAllocatorDefault, reinterpret_cast<const UInt8 *>(data.constData()),
                                                  data.size(), kCFAllocatorNull);
    if (!bytes)
        return value;
    CFPropertyListRef list = CFPropertyListCreateWithData(kCFAllocatorDefault, bytes, kCFPropertyListImmutable, nullptr,
                                                          nullptr);
    CFRelease(bytes);
    if (!list)
        return value;
    if (CFGetTypeID(list) == CFDictionaryGetTypeID()) {
        CFStringRef name = key.toCFString();
        const void *found = CFDictionaryGetValue(static_cast<CFDictionaryRef>(list), name);
        CFRelease(name);
        if (found && CFGetTypeID(found) == CFStringGetTypeID())
            value = QString::fromCFString(static_cast<CFStringRef>(found));
    }
    CFRelease(list);
    return value;
}
