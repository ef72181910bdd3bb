#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

// PLACEHOLDER until the download dialog is merged: only this constructor is
// relied on by the update check. The real dialog replaces both files.
class DownloadDlg : public QDialog
{
    Q_OBJECT

public:
    DownloadDlg(QWidget *parent, QString url, QString version, QByteArray signature);
};
