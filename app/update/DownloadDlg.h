#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class InstallThread;
class ProgressDlg;
class QCloseEvent;
class QFile;
class QNetworkAccessManager;
class QNetworkReply;
namespace Ui {
class DownloadDlg;
}

// Downloads an update image into the data folder, checks that it is the
// image the version page signed, and installs it on request, then quits and
// relaunches the application. Deletes itself when closed.
class DownloadDlg : public QDialog
{
    Q_OBJECT

public:
    // signature: what the version page carries for this version and image.
    DownloadDlg(QWidget *parent, QString url, QString version, QByteArray signature);
    ~DownloadDlg() override;

    void setFile(QString url);

    // Closes the main window's dialogs before the relaunch. Set by the main
    // window, which lives in a library this one must not link.
    static std::function<void()> closeSubWidgets;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void onDownloadProgress(qint64 received, qint64 total);
    void onReadyRead();
    void onReplyFinished();
    void onInstall();
    void onCancel();
    void onInstallFinished(int errCode);

private:
    void failDownload();

    Ui::DownloadDlg *ui;
    QNetworkAccessManager *mManager = nullptr;
    QNetworkReply *mReply = nullptr;
    QFile *mFile = nullptr;
    QString mFilePath;
    QString mVersion;
    QByteArray mSignature;
    InstallThread *mInstallThread = nullptr;
    QPointer<ProgressDlg> mProgressDlg;
};
