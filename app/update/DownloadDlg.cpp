#include "DownloadDlg.h"
#include "ui_DownloadDlg.h"

#include "AppEnv.h"
#include "DialogIcon.h"
#include "InstallThread.h"
#include "MsgDlg.h"
#include "ProgressDlg.h"
#include "hpUpdateKey.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTimer>
#include <QUrl>

std::function<void()> DownloadDlg::closeSubWidgets;

namespace {
QString sizeText(qint64 bytes, bool megabytes)
{
    return megabytes ? QString::asprintf("%.2f MB", double(float(bytes) / 1000000.0f))
                     : QString::asprintf("%.2f KB", double(float(bytes) / 1000.0f));
}
} // namespace

DownloadDlg::DownloadDlg(QWidget *parent, QString url, QString version, QByteArray signature)
    : QDialog(parent)
    , ui(new Ui::DownloadDlg)
    , mVersion(version)
    , mSignature(signature)
{
    ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Update ") + QString::fromUtf8(envAppName));
    hpSetAppIcon(ui->labelIcon);
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->pushButtonInstall->hide();
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &DownloadDlg::onCancel);
    connect(ui->pushButtonInstall, &QPushButton::clicked, this, &DownloadDlg::onInstall);
    mManager = new QNetworkAccessManager;
    setFile(url);
}

DownloadDlg::~DownloadDlg()
{
    qDebug("DownloadDlg::~DownloadDlg() begin\n");
    if (mFile) {
        mFile->close();
        delete mFile;
        mFile = nullptr;
    }
    if (mReply) {
        // abort() emits finished(): this object is half gone by now.
        mReply->disconnect(this);
        mReply->abort();
        delete mReply;
        mReply = nullptr;
    }
    delete mManager;
    delete ui;
    qDebug("DownloadDlg::~DownloadDlg() end\n");
}

void DownloadDlg::setFile(QString url)
{
    const QString name = url.split(QLatin1Char('/')).last();
    // Such a name is the data folder itself or its parent, not a file in it.
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        qDebug("no file name in the download address\n");
        // Reported once the dialog runs: the message needs it visible.
        QTimer::singleShot(0, this, &DownloadDlg::failDownload);
        return;
    }
    mFilePath = QString::fromUtf8(envDataPath) + QLatin1Char('/') + name;
    mReply = mManager->get(QNetworkRequest(QUrl(url, QUrl::TolerantMode)));
    mFile = new QFile(mFilePath);
    if (!mFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
        qDebug("cannot write %s: %s\n", qPrintable(mFilePath), qPrintable(mFile->errorString()));
    connect(mReply, &QNetworkReply::downloadProgress, this, &DownloadDlg::onDownloadProgress);
    connect(mReply, &QNetworkReply::readyRead, this, &DownloadDlg::onReadyRead);
    connect(mReply, &QNetworkReply::finished, this, &DownloadDlg::onReplyFinished);
}

void DownloadDlg::onDownloadProgress(qint64 received, qint64 total)
{
    // Without an announced size only the amount so far can be shown.
    if (total <= 0) {
        ui->progressBar->setRange(0, 0);
        ui->labelInfo->setText(sizeText(received, received >= 1000001));
        return;
    }
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(int(received * 100 / total));
    const bool mb = total >= 1000001;
    ui->labelInfo->setText(sizeText(received, mb) + QStringLiteral(" of ") + sizeText(total, mb));
}

void DownloadDlg::onReadyRead()
{
    const QByteArray data = mReply->readAll();
    if (mFile && mFile->isOpen())
        mFile->write(data);
}

void DownloadDlg::onReplyFinished()
{
    bool ok = mReply->error() == QNetworkReply::NoError;
    if (!ok)
        qDebug("download failed: %s\n", qPrintable(mReply->errorString()));
    if (ok && mFile) {
        // What the reply still holds, then everything must be on disk.
        onReadyRead();
        ok = mFile->isOpen() && mFile->flush() && mFile->error() == QFileDevice::NoError;
    }
    if (mFile) {
        mFile->close();
        delete mFile;
        mFile = nullptr;
    }
    mReply->deleteLater();
    mReply = nullptr;
    if (!ok) {
        failDownload();
        return;
    }
    // Nothing is mounted or installed that the maker did not sign for this version.
    if (!hpUpdateImageSigned(mFilePath, mVersion, mSignature)) {
        qDebug("the update image's signature is missing or wrong; deleted\n");
        QFile::remove(mFilePath);
        failDownload();
        return;
    }
    qDebug("file is downloaded successfully.");
    ui->labelTitle->setText(tr("Ready to install"));
    ui->labelInfo->setText(QString());
    ui->pushButtonCancel->hide();
    ui->pushButtonInstall->show();
}

void DownloadDlg::failDownload()
{
    if (isVisible())
        MsgDlg::warning(this, tr("Update Error"),
                        tr("An error ocured while downloading the update. Please try again later."), QMessageBox::Yes);
    done(QMessageBox::No);
}

void DownloadDlg::onInstall()
{
    mProgressDlg = new ProgressDlg;
    mProgressDlg->setProperty(tr("Update ") + QString::fromUtf8(envAppName), tr("Installing ..."), true, true);
    mInstallThread = new InstallThread(this);
    mInstallThread->setFilePath(mFilePath);
    connect(mInstallThread, &InstallThread::installFinished, this, &DownloadDlg::onInstallFinished);
    mInstallThread->start(QThread::InheritPriority);
    mProgressDlg->exec();
    mProgressDlg = nullptr;
}

void DownloadDlg::onCancel()
{
    done(QMessageBox::No);
}

void DownloadDlg::onInstallFinished(int errCode)
{
    // The signal is the thread's last act; it must be over before this
    // dialog, its parent, can be deleted.
    mInstallThread->wait();
    if (mProgressDlg)
        mProgressDlg->done(0);
    if (errCode != InstallThread::kInstalled) {
        MsgDlg::warning(this, tr("Update Error"), tr("The update could not be installed. Please try again later."),
                        QMessageBox::Yes);
        done(QMessageBox::No);
        return;
    }
    if (closeSubWidgets)
        closeSubWidgets();
    QCoreApplication::quit();
    const QStringList args = QCoreApplication::arguments();
    QProcess::startDetached(args.first(), args);
}

void DownloadDlg::closeEvent(QCloseEvent *event)
{
    qDebug("DownloadDlg::closeEvent begin\n");
    Q_UNUSED(event);
    done(QMessageBox::No);
    qDebug("DownloadDlg::closeEvent end\n");
}
