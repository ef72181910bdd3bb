#include "CheckUpdate.h"

#include "AppEnv.h"
#include "DownloadDlg.h"
#include "MsgDlg.h"
#include "Preferences.h"
#include "ProgressDlg.h"
#include "ResultDlg.h"
#include "hpUtils.h"
#include "hpVersionOrder.h"

#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

int sTimeLimitMs = 15000;
// What Qt may hold of the page between two reads, whatever the server sends.
const qint64 kReadBufferBytes = 64 * 1024;

// The text between the first open and the first close marker; a close marker
// standing before the open one leaves the whole rest of the text.
bool between(const QString &text, const QString &open, const QString &close, QString *out)
{
    const int start = text.indexOf(open);
    const int end = text.indexOf(close);
    if (start < 0 || end < 0)
        return false;
    const int from = start + open.size();
    *out = end >= from ? text.mid(from, end - from) : text.mid(from);
    return true;
}

} // namespace

CheckUpdate::CheckUpdate(QObject *parent)
    : QObject(parent)
{
}

CheckUpdate::~CheckUpdate()
{
    qDebug("CheckUpdate::~CheckUpdate begin\n");
    qDebug("CheckUpdate::~CheckUpdate end\n");
}

void CheckUpdate::setTimeLimit(int ms)
{
    sTimeLimitMs = ms;
}

void CheckUpdate::start()
{
    if (getVersion()) {
        parseVersion();
        if (showVersion(false))
            downloadVersion();
    }
    qDebug("CheckUpdate::start end\n");
}

void CheckUpdate::startBg()
{
    getVersionBg();
}

void CheckUpdate::stop()
{
    if (mReply) {
        // Silently: an aborted reply still finishes, and its slot would
        // report a network error to the user.
        disconnect(mReply, nullptr, this, nullptr);
        mReply->abort();
    }
    // Reply and manager go with the checker, not here: stop() may run inside
    // the reply's own finished() (the download closes everything before the
    // program quits), and a nested dialog loop would delete it under itself.
    mReply = nullptr;
    mManager = nullptr;
    if (mProgressDlg)
        mProgressDlg->close();
    if (mResultDlg)
        mResultDlg->close();
    if (mDownloadDlg)
        mDownloadDlg->close();
    mProgressDlg = nullptr;
    mResultDlg = nullptr;
    mDownloadDlg = nullptr;
}

bool CheckUpdate::isVisible()
{
    return mMessageShown || (mProgressDlg && mProgressDlg->isVisible())
        || (mResultDlg && mResultDlg->isVisible()) || (mDownloadDlg && mDownloadDlg->isVisible());
}

void CheckUpdate::request()
{
    mLocalFile = QString::fromUtf8(envLocalVersion);
    QFile::remove(mLocalFile);
    mPage.clear();
    mPageTooLarge = false;
    mManager = new QNetworkAccessManager(this);
    mReply = mManager->get(QNetworkRequest(QUrl(QString::fromUtf8(envRemoteVerUrl), QUrl::TolerantMode)));
    mReply->setReadBufferSize(kReadBufferBytes);
    connect(mReply, &QNetworkReply::metaDataChanged, this, &CheckUpdate::pageHeaders);
    connect(mReply, &QNetworkReply::readyRead, this, &CheckUpdate::pageData);
    // Background checks too: a server that never ends may not hold one open.
    QTimer::singleShot(sTimeLimitMs, this, &CheckUpdate::getVerTimeout);
}

bool CheckUpdate::getVersion()
{
    request();
    connect(mReply, &QNetworkReply::finished, this, &CheckUpdate::getFinished);

    auto *dlg = new ProgressDlg;
    dlg->setWindowTitle(tr("Checking Update..."));
    mProgressDlg = dlg;
    const int result = dlg->exec();
    mProgressDlg = nullptr;
    if (result != QMessageBox::Yes) {
        if (mReply)
            mReply->abort();
        return false;
    }
    return true;
}

void CheckUpdate::getVersionBg()
{
    request();
    connect(mReply, &QNetworkReply::finished, this, &CheckUpdate::getFinishedBg);
}

void CheckUpdate::getVerTimeout()
{
    qDebug("getVerTimeout\n");
    if (mReply && mReply->isRunning())
        mReply->abort();
}

void CheckUpdate::pageHeaders()
{
    const QVariant length = mReply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxPageBytes)
        refusePage();
}

void CheckUpdate::pageData()
{
    if (!takePage())
        refusePage();
}

// What has arrived, up to one byte past the limit; false once past it.
bool CheckUpdate::takePage()
{
    if (mPageTooLarge)
        return false;
    mPage += mReply->read(kMaxPageBytes + 1 - mPage.size());
    mPageTooLarge = mPage.size() > kMaxPageBytes;
    return !mPageTooLarge;
}

// Read no further: the reply ends as aborted, which is a network error.
void CheckUpdate::refusePage()
{
    qDebug("the version page is larger than %lld bytes; not read further\n", kMaxPageBytes);
    mPageTooLarge = true;
    mPage.clear();
    if (mReply && mReply->isRunning())
        mReply->abort();
}

// Whether the whole page is here (and kept in the local copy); the page is
// dropped otherwise, so nothing half read is ever parsed.
bool CheckUpdate::pageArrived()
{
    if (mReply->error() != QNetworkReply::NoError) {
        qDebug("version page: failure %s\n", mReply->errorString().toLatin1().constData());
        mPage.clear();
        return false;
    }
    if (!takePage()) {
        refusePage();
        return false;
    }
    qDebug("version page: success\n");
    QFile file(mLocalFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(mPage);
    return true;
}

void CheckUpdate::getFinished()
{
    if (!mReply)
        return;
    pageArrived();
    if (mProgressDlg)
        mProgressDlg->done(QMessageBox::Yes);
}

void CheckUpdate::getFinishedBg()
{
    if (!mReply || !pageArrived())
        return;
    if (parseVersion() && showVersion(true))
        downloadVersion();
}

bool CheckUpdate::parseVersion()
{
    if (mPage.isEmpty())
        return false;
    QByteArray bytes = mPage;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    const QString text = QString::fromLatin1(bytes);

    if (!between(text, QStringLiteral("<title>"), QStringLiteral("</title>"), &mVersion))
        return false;
    if (!between(text, QStringLiteral("<dllink hidden>"), QStringLiteral("</dllink>"), &mDownloadUrl))
        return false;
    // An unsigned page is still offered: the download dialog refuses the image.
    QString signature;
    mSignature.clear();
    if (between(text, QStringLiteral("<signature hidden>"), QStringLiteral("</signature>"), &signature)) {
        const auto decoded =
            QByteArray::fromBase64Encoding(signature.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            mSignature = *decoded;
    }
    mVersionInfo = tr("The version ") + mVersion + tr(" is available. \r\n");
    mReleaseNotes = text;
    Preferences::setUpdateTime(QDateTime::currentDateTime().toString(Qt::TextDate));
    return true;
}

void CheckUpdate::message(const QString &title, const QString &text)
{
    mMessageShown = true;
    MsgDlg::warning(nullptr, title, text, QMessageBox::Yes);
    mMessageShown = false;
}

bool CheckUpdate::showVersion(bool background)
{
    if (mProgressDlg)
        mProgressDlg->done(QMessageBox::Yes);
    // A page that names no release version failed like the network; one that
    // names no newer release (an older one may be a replay) offers nothing.
    QVector<int> numbers;
    if (mVersion.isEmpty() || !hpVersionParse(mVersion, &numbers)) {
        if (!background)
            message(tr("Network Error!"), tr("Please check again later."));
        return false;
    }
    if (!hpVersionNewer(mVersion, hpVersion())) {
        if (!background)
            message(tr("You'are up to date"), QString::fromUtf8(envAppName) + QLatin1Char(' ') + hpVersion()
                                                  + tr(" is currently the newest version available!"));
        return false;
    }
    auto *dlg = new ResultDlg;
    mResultDlg = dlg;
    dlg->setResult(mVersion, mVersionInfo, mReleaseNotes);
    const int result = dlg->exec();
    mResultDlg = nullptr;
    return result == QMessageBox::Yes;
}

bool CheckUpdate::downloadVersion()
{
    auto *dlg = new DownloadDlg(nullptr, mDownloadUrl, mVersion, mSignature);
    mDownloadDlg = dlg;
    dlg->exec();
    mDownloadDlg = nullptr;
    return true;
}
