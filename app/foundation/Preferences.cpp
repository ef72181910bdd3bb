#include "Preferences.h"

#include "AppEnv.h"
#include "hpSettings.h"

#include <QSettings>

bool Preferences::mKeepSafe = false;
bool Preferences::mSoundEffect = true;
bool Preferences::mAutomatic = true;
bool Preferences::mAutomaticBeta = false;
QString Preferences::mLastUpdateTime;

void Preferences::loadSettings()
{
    QSettings settings(QString(envPreferencesFile), hpSettingsFormat());
    settings.beginGroup(QStringLiteral("general"));
    mKeepSafe = settings.value(QStringLiteral("keepSafe"), false).toBool();
    mSoundEffect = settings.value(QStringLiteral("soundEffect"), true).toBool();
    settings.endGroup();
    settings.beginGroup(QStringLiteral("update"));
    mAutomatic = settings.value(QStringLiteral("automatic"), true).toBool();
    mAutomaticBeta = settings.value(QStringLiteral("automaticBeta"), false).toBool();
    mLastUpdateTime = settings.value(QStringLiteral("LastUpdateTime"), QString()).toString();
    settings.endGroup();
}

void Preferences::saveSettings()
{
    QSettings settings(QString(envPreferencesFile), hpSettingsFormat());
    settings.setValue(QStringLiteral("general/keepSafe"), mKeepSafe);
    settings.setValue(QStringLiteral("general/soundEffect"), mSoundEffect);
    settings.setValue(QStringLiteral("update/automatic"), mAutomatic);
    settings.setValue(QStringLiteral("update/automaticBeta"), mAutomaticBeta);
    settings.setValue(QStringLiteral("update/LastUpdateTime"), mLastUpdateTime);
}

void Preferences::setHideAppleApps(bool on)
{
    mKeepSafe = on;
    saveSettings();
}

void Preferences::setPlaySound(bool on)
{
    mSoundEffect = on;
    saveSettings();
}

void Preferences::setAutoCheckUpdate(bool on)
{
    mAutomatic = on;
    saveSettings();
}

void Preferences::setAutoCheckBeta(bool on)
{
    mAutomaticBeta = on;
    saveSettings();
}

void Preferences::setUpdateTime(QString time)
{
    mLastUpdateTime = time;
    saveSettings();
}
