#include "ResultDlg.h"
#include "ui_ResultDlg.h"

#include "AppEnv.h"
#include "DialogIcon.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>

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

namespace {
// The page comes over plain HTTP: its markup is shown, but it may not make
// the dialog read anything (an image of /dev/zero, a FIFO) or follow a link
// into a local file.
class NotesDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};
} // namespace

void ResultDlg::setResult(const QString &version, const QString &info, const QString &releaseNotes)
{
    ui->labelVerTitle->setText(version);
    ui->labelVerInfo->setText(info);
    QTextBrowser *notes = ui->textBrowserRelNotes;
    if (!dynamic_cast<NotesDocument *>(notes->document()))
        notes->setDocument(new NotesDocument(notes));
    notes->setOpenLinks(false);
    // The download address and the signature are for the program, not the reader.
    QString shown = releaseNotes;
    shown.remove(QRegularExpression(QStringLiteral("<dllink hidden>.*</dllink>"),
                                    QRegularExpression::DotMatchesEverythingOption | QRegularExpression::InvertedGreedinessOption));
    shown.remove(QRegularExpression(QStringLiteral("<signature hidden>.*</signature>"),
                                    QRegularExpression::DotMatchesEverythingOption | QRegularExpression::InvertedGreedinessOption));
    notes->setHtml(shown);
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
