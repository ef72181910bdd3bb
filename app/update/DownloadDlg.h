#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class InstallThread;
class ProgressDlg;
class QTimer;
class QCloseEvent;
class QFile;
class QNetworkAccessManager;
class QNetworkReply;
namespace Ui {
class DownloadDlg;
}

// Downloads an update image into the data folder, checks that it is the
// image the version page signed, and installs it on request, then quits and
// relaunches the application. Deletes itself when closed, and with itself the
// image, unless it was installed. Only a version newer than the running one
// is downloaded, never more than 2 GiB nor more than the server announced,
// and never under the name of a file the data folder holds or the
// application keeps.
class DownloadDlg : public QDialog
{
    Q_OBJECT

public:
    // signature: what the version page carries for this version and image.
    DownloadDlg(QWidget *parent, QString url, QString version, QByteArray signature);
    ~DownloadDlg() override;

    void setFile(QString url);

    // The most an image may have (2 GiB unless changed).
    static void setSizeLimit(qint64 bytes);
    // How long the server may send nothing before the download is given up
    // (one minute unless changed).
    static void setStallLimit(int ms);

    // Closes the main window's dialogs before the relaunch. Set by the main
    // window, which lives in a library this one must not link.
    static std::function<void()> closeSubWidgets;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onHeaders();
    void onDownloadProgress(qint64 received, qint64 total);
    void onReadyRead();
    void onReplyFinished();
    void onInstall();
    void onCancel();
    void onInstallFinished(int errCode);

private:
    void failDownload();
    bool takeData();
    void refuseDownload();
    void closeFile();
    void dropFile();

    Ui::DownloadDlg *ui;
    QNetworkAccessManager *mManager = nullptr;
    QNetworkReply *mReply = nullptr;
    QFile *mFile = nullptr;
    QString mFilePath;
    bool mOwnFile = false; // made by this dialog, removed with it
    bool mKeepFile = false;
    QTimer *mStall = nullptr;
    qint64 mAnnounced = -1;
    qint64 mReceived = 0;
    QString mVersion;
    QByteArray mSignature;
    InstallThread *mInstallThread = nullptr;
    QPointer<ProgressDlg> mProgressDlg;
};
