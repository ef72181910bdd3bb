#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class ProgressDlg;
}

// A busy indicator shown modally while a long task runs elsewhere. Its owner
// ends it with done() and the code its own logic tests; it deletes itself on close.
// Once its close button is removed it is locked: Escape and close requests are
// refused, so a task that cannot be stopped is never hidden while it runs.
class ProgressDlg : public QDialog
{
    Q_OBJECT

public:
    explicit ProgressDlg(QWidget *parent = nullptr);
    ~ProgressDlg() override;

    // Call before the dialog is shown: changing the flags of a visible window hides it.
    void setProperty(QString title, QString text, bool hideCancel, bool removeCloseButton);
    // Locks a dialog that is already shown: its Cancel button goes, and Escape
    // and close requests are refused from here on.
    void lock();

public slots:
    void reject() override;

private slots:
    void onCancel();

private:
    Ui::ProgressDlg *ui;
    bool mLocked = false;
};
