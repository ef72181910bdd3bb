#pragma once

#include <QString>

// The user's preferences: process-wide values loaded once at start-up from the
// preferences file and read by the rest of the application. The preferences
// dialog changes them; every change is saved at once.
class Preferences
{
public:
    static void loadSettings();
    static void saveSettings();

    static bool hideAppleApps() { return mKeepSafe; }
    static bool playSound() { return mSoundEffect; }
    static bool autoCheckUpdate() { return mAutomatic; }
    static bool autoCheckBeta() { return mAutomaticBeta; }
    static QString lastUpdateTime() { return mLastUpdateTime; }

    // Each setter saves the whole file.
    static void setHideAppleApps(bool on);
    static void setPlaySound(bool on);
    static void setAutoCheckUpdate(bool on);
    static void setAutoCheckBeta(bool on);
    static void setUpdateTime(QString time);

private:
    // Written only on the GUI thread; workers read the flags without a lock.
    static bool mKeepSafe;
    static bool mSoundEffect;
    static bool mAutomatic;
    static bool mAutomaticBeta;
    static QString mLastUpdateTime;
};
