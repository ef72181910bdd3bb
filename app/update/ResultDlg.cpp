#include "ResultDlg.h"
#include "ui_ResultDlg.h"

#include "AppEnv.h"
#include "DialogIcon.h"

#include <QMessageBox>

ResultDlg::ResultDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ResultDlg)
{
    ui->setupUi(this);
    setWindowTitle(tr("Update ") + QString::fromUtf8(envAppName));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(491, 308);
    // The layout sizes the label only when shown; its fixed size is known now.
    ui->labelIcon->setPixmap(hpAppIcon(ui->labelIcon->minimumSize(), devicePixelRatioF()));

    connect(ui->pushButtonSkip, &QPushButton::clicked, this, &ResultDlg::onSkip);
    connect(ui->pushButtonLater, &QPushButton::clicked, this, &ResultDlg::onLater);
    connect(ui->pushButtonInstall, &QPushButton::clicked, this, &ResultDlg::onInstall);
}

ResultDlg::~ResultDlg()
{
    delete ui;
}

void ResultDlg::setResult(const QString &version, const QString &info, const QString &releaseNotes)
{
    ui->labelVerTitle->setText(version);
    ui->labelVerInfo->setText(info);
    ui->textBrowserRelNotes->setHtml(releaseNotes);
}

void ResultDlg::onSkip()
{
    done(QMessageBox::No);
}

void ResultDlg::onLater()
{
    done(QMessageBox::Retry);
}

void ResultDlg::onInstall()
{
    done(QMessageBox::Yes);
}
