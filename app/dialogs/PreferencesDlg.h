#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class PreferencesDlg;
}

// The dialog in which the user changes the preferences (Preferences).
class PreferencesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDlg(QWidget *parent = nullptr);
    ~PreferencesDlg() override;

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
};
