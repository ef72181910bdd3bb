#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPoint>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace Ui {
class CrashDlg;
}

// The only window of an instance started with "-crasher": offers to send the
// newest system crash report of the application and to reopen it.
class CrashDlg : public QDialog
{
    Q_OBJECT

public:
    // Results of done(): reopened after sending, or left without reopening.
    static constexpr int kReopened = 0x4000;
    static constexpr int kLeft = 0x10000;

    // program: the executable whose bundle is reopened; by default the one
    // the crash trap was armed with.
    explicit CrashDlg(QWidget *parent = nullptr, const QString &program = QString());
    ~CrashDlg() override;

    // The name the newest report is sent under ("" when there is none), and
    // its compressed content in data.
    QString getCrashData(QByteArray &data);

    // The multipart body that carries data under name.
    static QByteArray uploadBody(const QString &name, const QByteArray &data);

public slots:
    void reportSLOT();
    void reportFinishedSLOT();
    void reopenSLOT();
    void cancelSLOT();
    void ignoreSLOT();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void showSending();
    void showFinished(const QString &text);
    void restoreSystemDialog();

    Ui::CrashDlg *ui;
    QString mProgram;
    QNetworkAccessManager *mManager = nullptr;
    QNetworkReply *mReply = nullptr;
    bool mDragging = false;
    QPoint mLastPos;
};
