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
    if (removeCloseButton)
        setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
}

void ProgressDlg::onCancel()
{
    done(QMessageBox::No);
}
