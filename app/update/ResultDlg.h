#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class ResultDlg;
}

// Offers a version the server has: its title line, a one-line notice and the
// version page as release notes. Closes with QMessageBox::Yes (install),
// QMessageBox::No (skip) or QMessageBox::Retry (later); deletes itself on close.
class ResultDlg : public QDialog
{
    Q_OBJECT

public:
    explicit ResultDlg(QWidget *parent = nullptr);
    ~ResultDlg() override;

    void setResult(const QString &version, const QString &info, const QString &releaseNotes);

private slots:
    void onSkip();
    void onLater();
    void onInstall();

private:
    Ui::ResultDlg *ui;
};
