// PLACEHOLDER: replaced by the crash reporter dialog's own branch.
#include "CrashDlg.h"

CrashDlg::CrashDlg(QWidget *parent)
    : QDialog(parent)
{
    qDebug("CrashDlg placeholder shown\n");
}
