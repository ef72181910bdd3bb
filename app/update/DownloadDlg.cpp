#include "DownloadDlg.h"

// PLACEHOLDER: see DownloadDlg.h.
DownloadDlg::DownloadDlg(QWidget *parent, QString url, QString version, QByteArray signature)
    : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Q_UNUSED(url)
    Q_UNUSED(version)
    Q_UNUSED(signature)
}
