#include "ProgressDlg.h"
#include "ui_ProgressDlg.h"

#include "DialogIcon.h"

#include <QMessageBox>

ProgressDlg::ProgressDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ProgressDlg)
{
    ui->setupUi(this);
    setFixedSize(size());
    hpSetAppIcon(ui->labelIcon);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->progressBar->setRange(0, 0);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ProgressDlg::onCancel);
}

ProgressDlg::~ProgressDlg()
{
    delete ui;
}

void ProgressDlg::setProperty(QString title, QString text, bool hideCancel, bool removeCloseButton)
{
    ui->labelText->setText(text);
    setWindowTitle(title);
    if (hideCancel)
        ui->pushButtonCancel->hide();
    if (removeCloseButton) {
        // Without the customize hint the Mac keeps its standard title-bar buttons.
        setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) & ~Qt::WindowCloseButtonHint);
        mLocked = true;
    }
}

void ProgressDlg::lock()
{
    ui->pushButtonCancel->hide();
    mLocked = true;
}

// Escape and every close request (QDialog::closeEvent ignores the event while the
// dialog stays visible) end up here; only the owner's done() ends a locked dialog.
void ProgressDlg::reject()
{
    if (!mLocked)
        QDialog::reject();
}

void ProgressDlg::onCancel()
{
    if (!mLocked)
        done(QMessageBox::No);
}
