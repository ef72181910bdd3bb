#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class PreferencesDlg;
}

// The user's preferences: process-wide values loaded once at start-up, read by
// the rest of the application through the static accessors, and the dialog in
// which the user changes them. Every change is saved at once.
class PreferencesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDlg(QWidget *parent = nullptr);
    ~PreferencesDlg() override;

    static void loadSettings();
    static void saveSettings();

    static bool hideAppleApps() { return mKeepSafe; }
    static bool playSound() { return mSoundEffect; }
    static bool autoCheckUpdate() { return mAutomatic; }
    static void setUpdateTime(QString time);

signals:
    void prefKeepSafeChanged(bool keepSafe);
    void prefCheckNowClicked();

private slots:
    void keepSafeChanged(int state);
    void soundEffectChanged(int state);
    void automaticChanged(int state);
    void automaticBetaChanged(int state);
    void checkNowBtnClicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fitTexts();

    Ui::PreferencesDlg *ui;

    // Written only on the GUI thread; workers read the flags without a lock.
    static bool mKeepSafe;
    static bool mSoundEffect;
    static bool mAutomatic;
    static bool mAutomaticBeta;
    static QString mLastUpdateTime;
};
