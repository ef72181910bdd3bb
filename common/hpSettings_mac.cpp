#include "hpSettings.h"

QSettings::Format hpSettingsFormat()
{
    return QSettings::NativeFormat;
}
