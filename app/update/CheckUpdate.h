#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class DownloadDlg;
class ProgressDlg;
class QNetworkAccessManager;
class QNetworkReply;
class ResultDlg;

// One check of the version page on the update server, either in the
// foreground (waiting dialog, every outcome reported) or in the background
// (silent unless there is something to offer); both under a time limit, and
// a page over 1 MiB is not read further but fails as a network error. Only a
// release version newer than the running one is offered; the page's package
// address, version and signature go to the download dialog on "Install".
// Used for one check only, on the GUI thread.
class CheckUpdate : public QObject
{
    Q_OBJECT

public:
    explicit CheckUpdate(QObject *parent = nullptr);
    ~CheckUpdate() override;

    void start();
    void startBg();
    void stop();
    // Whether the user is looking at this check: one of its dialogs or
    // messages is on screen. The window leaves such a check alone, and so
    // never deletes a checker from inside one of its own dialogs.
    bool isVisible();

    // What the last page offered.
    QString version() const { return mVersion; }
    QString downloadUrl() const { return mDownloadUrl; }
    QByteArray signature() const { return mSignature; }

    // How long a check waits for the whole page (15 s unless changed).
    static void setTimeLimit(int ms);
    // The most of a version page that is read.
    static constexpr qint64 kMaxPageBytes = qint64(1) << 20;

private slots:
    void getVerTimeout();
    void getFinished();
    void getFinishedBg();
    void pageHeaders();
    void pageData();

private:
    bool getVersion();
    void getVersionBg();
    void request();
    bool takePage();
    void refusePage();
    bool pageArrived();
    bool parseVersion();
    bool showVersion(bool background);
    void message(const QString &title, const QString &text);
    bool downloadVersion();

    QPointer<ProgressDlg> mProgressDlg;
    QPointer<ResultDlg> mResultDlg;
    QPointer<DownloadDlg> mDownloadDlg;
    QString mVersion;
    QString mDownloadUrl;
    QByteArray mSignature;
    QString mVersionInfo;
    QString mReleaseNotes;
    QString mLocalFile;
    QByteArray mPage;
    bool mPageTooLarge = false;
    QPointer<QNetworkReply> mReply;
    QPointer<QNetworkAccessManager> mManager;
    bool mMessageShown = false;
};
