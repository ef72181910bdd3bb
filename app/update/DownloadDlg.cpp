#include "DownloadDlg.h"
#include "ui_DownloadDlg.h"

#include "AppEnv.h"
#include "DialogIcon.h"
#include "InstallThread.h"
#include "MsgDlg.h"
#include "ProgressDlg.h"
#include "hpUpdateKey.h"
#include "hpUtils.h"
#include "hpVersionOrder.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTimer>
#include <QUrl>

std::function<void()> DownloadDlg::closeSubWidgets;

namespace {
qint64 sSizeLimit = qint64(2) << 30;
int sStallLimitMs = 60000;
// What Qt may hold of the image between two writes to the file.
const qint64 kReadBufferBytes = qint64(1) << 20;

QString nameKey(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

// Why the download may not be stored under this name in the data folder:
// the server chose it, and it must not replace the log, the settings, the
// caches, the page copy or anything else there. Compared as the Mac's default
// file system compares names (case and composition aside).
QString fileNameRefusal(const QString &name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')))
        return QStringLiteral("no plain file name");
    // Without a data folder the name would land at "/".
    if (QString::fromUtf8(envDataPath).isEmpty())
        return QStringLiteral("no data folder");
    const QString key = nameKey(name);
    const QStringList own{QStringLiteral("main.log"), QFileInfo(QString::fromUtf8(envPreferencesFile)).fileName(),
                          QStringLiteral("sizeList.plist"), QStringLiteral("timeList.plist"),
                          QFileInfo(QString::fromUtf8(envLocalVersion)).fileName()};
    for (const QString &file : own) {
        if (key == nameKey(file))
            return QStringLiteral("the name of one of the application's files");
    }
    const QStringList held = QDir(QString::fromUtf8(envDataPath))
                                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : held) {
        if (key == nameKey(entry))
            return QStringLiteral("already in the data folder");
    }
    return QString();
}

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
    if (mReply) {
        // abort() emits finished(): this object is half gone by now.
        mReply->disconnect(this);
        mReply->abort();
        delete mReply;
        mReply = nullptr;
    }
    closeFile();
    // A part, a refused image or one never installed: a next attempt at the
    // same version needs the name free.
    if (!mKeepFile)
        dropFile();
    delete mManager;
    delete ui;
    qDebug("DownloadDlg::~DownloadDlg() end\n");
}

void DownloadDlg::setSizeLimit(qint64 bytes)
{
    sSizeLimit = bytes;
}

void DownloadDlg::setStallLimit(int ms)
{
    sStallLimitMs = ms;
}

void DownloadDlg::setFile(QString url)
{
    const QString name = url.split(QLatin1Char('/')).last();
    // A captured older release stays old, however genuinely it is signed.
    QString why = hpVersionNewer(mVersion, hpVersion())
        ? fileNameRefusal(name)
        : QStringLiteral("version %1 is not newer than the running %2").arg(mVersion, hpVersion());
    if (why.isEmpty()) {
        mFilePath = QString::fromUtf8(envDataPath) + QLatin1Char('/') + name;
        mFile = new QFile(mFilePath);
        // NewOnly: nothing that appeared since the check is opened, not even a link.
        mOwnFile = mFile->open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (!mOwnFile)
            why = QStringLiteral("cannot make %1: %2").arg(mFilePath, mFile->errorString());
    }
    if (!why.isEmpty()) {
        qDebug("download of %s refused: %s\n", qPrintable(url), qPrintable(why));
        closeFile();
        // Reported once the dialog runs: the message needs it visible.
        QTimer::singleShot(0, this, &DownloadDlg::failDownload);
        return;
    }
    mReply = mManager->get(QNetworkRequest(QUrl(url, QUrl::TolerantMode)));
    // A server that stops sending would keep the dialog waiting for good.
    mStall = new QTimer(this);
    mStall->setSingleShot(true);
    connect(mStall, &QTimer::timeout, this, [this] {
        qDebug("the update server sent nothing for %d ms; download stopped\n", sStallLimitMs);
        if (mReply)
            refuseDownload();
    });
    connect(mReply, &QNetworkReply::downloadProgress, mStall, [this] { mStall->start(sStallLimitMs); });
    mStall->start(sStallLimitMs);
    mReply->setReadBufferSize(kReadBufferBytes);
    connect(mReply, &QNetworkReply::metaDataChanged, this, &DownloadDlg::onHeaders);
    connect(mReply, &QNetworkReply::downloadProgress, this, &DownloadDlg::onDownloadProgress);
    connect(mReply, &QNetworkReply::readyRead, this, &DownloadDlg::onReadyRead);
    connect(mReply, &QNetworkReply::finished, this, &DownloadDlg::onReplyFinished);
}

void DownloadDlg::onHeaders()
{
    const QVariant length = mReply->header(QNetworkRequest::ContentLengthHeader);
    mAnnounced = length.isValid() ? length.toLongLong() : -1;
    if (mAnnounced > sSizeLimit) {
        qDebug("the update image announces %lld bytes, more than %lld\n", mAnnounced, sSizeLimit);
        refuseDownload();
    }
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
    if (!takeData())
        refuseDownload();
}

// Writes what arrived; false once the image is longer than 2 GiB or than
// the server announced (chunks may run on past a Content-Length).
bool DownloadDlg::takeData()
{
    const QByteArray data = mReply->readAll();
    mReceived += data.size();
    if (mReceived > sSizeLimit || (mAnnounced >= 0 && mReceived > mAnnounced)) {
        qDebug("the update image runs to %lld bytes (announced %lld, limit %lld); removed\n", mReceived, mAnnounced,
               sSizeLimit);
        return false;
    }
    return mFile->write(data) == data.size();
}

// Stops reading at once and removes what was kept.
void DownloadDlg::refuseDownload()
{
    mReply->disconnect(this);
    mReply->abort();
    mReply->deleteLater();
    mReply = nullptr;
    closeFile();
    dropFile();
    failDownload();
}

void DownloadDlg::closeFile()
{
    if (mFile) {
        mFile->close();
        delete mFile;
        mFile = nullptr;
    }
}

void DownloadDlg::dropFile()
{
    if (mOwnFile)
        QFile::remove(mFilePath);
    mOwnFile = false;
}

void DownloadDlg::onReplyFinished()
{
    mStall->stop();
    bool ok = mReply->error() == QNetworkReply::NoError;
    if (!ok)
        qDebug("download failed: %s\n", qPrintable(mReply->errorString()));
    // What the reply still holds, then everything must be on disk.
    if (ok)
        ok = takeData() && mFile->flush() && mFile->error() == QFileDevice::NoError;
    closeFile();
    mReply->deleteLater();
    mReply = nullptr;
    if (!ok) {
        dropFile();
        failDownload();
        return;
    }
    // Nothing is mounted or installed that the maker did not sign for this version.
    if (!hpUpdateImageSigned(mFilePath, mVersion, mSignature)) {
        qDebug("the update image's signature is missing or wrong; deleted\n");
        dropFile();
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
    if (errCode == InstallThread::kOpened) {
        // The system's installer has the image now; nothing was installed,
        // so nothing is relaunched.
        mKeepFile = true;
        MsgDlg::warning(this, tr("Update Error"),
                        tr("The update could not be installed automatically. The disk image has been opened so "
                           "that you can install it yourself."),
                        QMessageBox::Yes);
        done(QMessageBox::No);
        return;
    }
    if (errCode != InstallThread::kInstalled) {
        dropFile();
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
