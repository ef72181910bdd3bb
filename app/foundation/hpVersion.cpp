#include "hpUtils.h"

#include "AppEnv.h"
#include "hpSettings.h"

namespace {
QString sVersion; // GUI thread only
}

QString hpVersion()
{
    if (sVersion.isEmpty()) {
        QSettings info(QString(envInfoPlist), hpSettingsFormat());
        sVersion = info.value(QStringLiteral("CFBundleShortVersionString")).toString();
    }
    return sVersion;
}
