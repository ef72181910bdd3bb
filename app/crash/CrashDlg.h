#pragma once

// PLACEHOLDER so that main() builds on this branch: the crash reporter dialog
// lands from its own branch, which replaces this file pair.
#include <QDialog>

class CrashDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CrashDlg(QWidget *parent = nullptr);
};
