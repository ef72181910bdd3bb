#include "CrashDlg.h"
#include "ui_CrashDlg.h"

#include "AppEnv.h"
#include "CrashTrap.h"
#include "hpUtils.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QUrl>

namespace {

const QByteArray kBoundary = "---------------------------723690991551375881941828858";

} // namespace

CrashDlg::CrashDlg(QWidget *parent, const QString &program)
    : QDialog(parent)
    , ui(new Ui::CrashDlg)
    , mProgram(program.isEmpty() ? CrashTrap::armedProgram() : program)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    connect(ui->sysBtnClose, &QPushButton::clicked, qApp, &QCoreApplication::quit);
    connect(ui->sysBtnMin, &QPushButton::clicked, this, &QWidget::showMinimized);
    setWindowTitle(QString(envAppName) + tr(" Crash Reporter"));

    ui->progressBar->setRange(0, 0);
    ui->progressBar->hide();
    ui->pushButtonCancel->hide();
    ui->textBrowser->setFocus();

    connect(ui->pushButtonIgnore, &QPushButton::clicked, this, &CrashDlg::ignoreSLOT);
    connect(ui->pushButtonReport, &QPushButton::clicked, this, &CrashDlg::reportSLOT);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &CrashDlg::cancelSLOT);
}

CrashDlg::~CrashDlg()
{
    delete ui;
}

QString CrashDlg::getCrashData(QByteArray &data)
{
    // Listed in-process: a shell line and a list file in /tmp could be
    // redirected by anyone who plants a link there.
    const QDir reports(QDir::homePath() + QStringLiteral("/Library/Logs/DiagnosticReports"));
    const QString prefix = QString(envAppName);
    QFileInfo newest;
    for (const QFileInfo &info : reports.entryInfoList(QDir::Files | QDir::Hidden, QDir::NoSort)) {
        if (!info.fileName().startsWith(prefix))
            continue;
        if (!newest.exists() || info.lastModified() > newest.lastModified())
            newest = info;
    }
    if (!newest.exists())
        return QString();

    const QString name = QString(envDataPath) + QLatin1Char('/') + newest.fileName() + QStringLiteral(".qz");
    QFile report(newest.filePath());
    if (report.open(QIODevice::ReadOnly))
        data = qCompress(report.readAll(), 9);
    return name;
}

QByteArray CrashDlg::uploadBody(const QString &name, const QByteArray &data)
{
    QByteArray body;
    body += "--" + kBoundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"filedata\"; filename=\"";
    body += name.toLatin1();
    body += "\"\r\n";
    body += "Content-Type: application/octet-stream\r\n\r\n";
    body += data;
    body += "\r\n";
    body += "--" + kBoundary + "--\r\n";
    return body;
}

void CrashDlg::reportSLOT()
{
    QByteArray data;
    const QString name = getCrashData(data);
    showSending();
    if (data.isEmpty()) {
        // Nothing to send: reopen as after an upload rather than wait in the
        // sending state for a reply that never comes.
        qDebug("reportSLOT: no crash report\n");
        showFinished(tr("No crash report was found, so nothing was sent."));
        reopenSLOT();
        return;
    }

    const QByteArray body = uploadBody(name, data);
    const QString address = QString(envBugPostUrl);
    const QUrl url(address, QUrl::TolerantMode);
    QNetworkRequest request(url);
    request.setRawHeader("POST", address.mid(address.indexOf(QLatin1String("/bugs"))).toLatin1());
    QString host = url.host();
    if (url.port() != -1)
        host += QLatin1Char(':') + QString::number(url.port());
    request.setRawHeader("Host", host.toLatin1());
    request.setRawHeader("User-Agent", (QString(envAppName) + QLatin1Char('/') + hpVersion()).toLatin1());
    request.setRawHeader("Accept", "*/*");
    request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + kBoundary);
    request.setRawHeader("Content-Length", QByteArray::number(body.size()));

    mManager = new QNetworkAccessManager(this);
    mReply = mManager->post(request, body);
    connect(mReply, &QNetworkReply::finished, this, &CrashDlg::reportFinishedSLOT);
}

void CrashDlg::reportFinishedSLOT()
{
    if (mReply->error() == QNetworkReply::NoError)
        qDebug("reportFinished: %s\n", mReply->readAll().constData());
    else
        qDebug("reportFinished: Failure %s \n", qPrintable(mReply->errorString()));
    showFinished(tr("Thank you, we will fix the bug as soon as possible!"));
    reopenSLOT();
}

void CrashDlg::reopenSLOT()
{
    restoreSystemDialog();
    const QString bundle = CrashTrap::bundlePath(mProgram);
    if (bundle.isEmpty())
        qDebug("reopenSLOT: not run from an application bundle\n");
    else
        QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-F"), QStringLiteral("-n"), bundle});
    done(kReopened);
}

void CrashDlg::cancelSLOT()
{
    // A reply finishing after the user left must not reopen the application.
    if (mReply) {
        disconnect(mReply, nullptr, this, nullptr);
        mReply->abort();
    }
    restoreSystemDialog();
    done(kLeft);
}

void CrashDlg::ignoreSLOT()
{
    cancelSLOT();
}

void CrashDlg::showSending()
{
    ui->pushButtonReport->hide();
    ui->pushButtonIgnore->hide();
    ui->pushButtonCancel->show();
    ui->progressBar->show();
}

void CrashDlg::showFinished(const QString &text)
{
    ui->progressBar->hide();
    ui->textBrowser->setText(text);
    ui->pushButtonReport->hide();
    ui->pushButtonIgnore->hide();
    ui->pushButtonCancel->setText(tr("Close"));
    ui->pushButtonCancel->show();
}

// The crash trap switched the system crash dialog off.
void CrashDlg::restoreSystemDialog()
{
    QProcess::execute(QStringLiteral("defaults"),
                      {QStringLiteral("write"), QStringLiteral("com.apple.CrashReporter"),
                       QStringLiteral("DialogType"), QStringLiteral("crashreport")});
}

void CrashDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && event->pos().y() < height()) {
        mLastPos = event->screenPos().toPoint();
        mDragging = true;
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CrashDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (mDragging) {
        const QPoint now = event->screenPos().toPoint();
        move(pos() + now - mLastPos);
        mLastPos = now;
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CrashDlg::mouseReleaseEvent(QMouseEvent *event)
{
    mDragging = false;
    QDialog::mouseReleaseEvent(event);
}
