#include "MsgDlg.h"
#include "ui_MsgDlg.h"

#include "DialogIcon.h"

#include <QMessageBox>

MsgDlg::MsgDlg(QWidget *parent, QString title, QString text, int buttons)
    : QDialog(parent)
    , ui(new Ui::MsgDlg)
{
    ui->setupUi(this);
    setFixedSize(size());
    hpSetAppIcon(ui->labelIcon);

    ui->labelTitle->setText(title);
    ui->labelInfo->setText(text);
    ui->pushButtonOk->setVisible(buttons & QMessageBox::Yes);
    ui->pushButtonCancel->setVisible(buttons & QMessageBox::No);

    connect(ui->pushButtonOk, &QPushButton::clicked, this, &MsgDlg::okSLOT);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &MsgDlg::cancelSLOT);
}

MsgDlg::~MsgDlg()
{
    delete ui;
}

int MsgDlg::warning(QWidget *parent, QString title, QString text, int buttons)
{
    MsgDlg dlg(parent, title, text, buttons);
    return dlg.exec();
}

void MsgDlg::okSLOT()
{
    done(QMessageBox::Yes);
}

void MsgDlg::cancelSLOT()
{
    done(QMessageBox::No);
}
