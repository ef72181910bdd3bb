#include "MsgDlg.h"
#include "ui_MsgDlg.h"

#include "DialogIcon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

MsgDlg::MsgDlg(QWidget *parent, QString title, QString text, int buttons)
    : QDialog(parent)
    , ui(new Ui::MsgDlg)
{
    ui->setupUi(this);
    hpSetAppIcon(ui->labelIcon);

    ui->labelInfo->setTextFormat(Qt::PlainText); // item names are not markup
    // Paths and addresses in a message are there to be copied.
    ui->labelInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->labelInfo->setText(text);
    fitText();
    setTitle(title);
    ui->pushButtonOk->setVisible(buttons & QMessageBox::Yes);
    ui->pushButtonCancel->setVisible(buttons & QMessageBox::No);

    connect(ui->pushButtonOk, &QPushButton::clicked, this, &MsgDlg::okSLOT);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &MsgDlg::cancelSLOT);
}

// The form is sized for a short English notice. Translations and long item
// names need more room: the dialog grows so that the message is read whole.
void MsgDlg::fitText()
{
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 3 / 4 : QSize(800, 600);
    QLabel *info = ui->labelInfo;

    // A word wider than the label (a name without spaces) cannot wrap. Nor
    // should a line of its own with slashes and no spaces, an address or a
    // path, which Qt would break at a slash (Japanese and Chinese sentences
    // have no spaces either, and wrap). A label that does not wrap measures
    // it: its layout wants a pixel more than the font's advance.
    int unbroken = info->minimumSizeHint().width();
    QLabel probe;
    probe.setFont(info->font());
    probe.setTextFormat(Qt::PlainText);
    for (const QString &line : info->text().split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1Char(' ')) || !line.contains(QLatin1Char('/')))
            continue;
        probe.setText(line);
        unbroken = qMax(unbroken, probe.sizeHint().width() + info->width() - info->contentsRect().width());
    }
    const int wantWidth = qMin(unbroken, info->width() + room.width() - width());
    if (wantWidth > info->width()) {
        const int dx = wantWidth - info->width();
        info->resize(info->width() + dx, info->height());
        ui->labelTitle->resize(ui->labelTitle->width() + dx, ui->labelTitle->height());
        for (QPushButton *b : {ui->pushButtonOk, ui->pushButtonCancel})
            b->move(b->x() + dx, b->y());
        resize(width() + dx, height());
    }

    const int wantHeight = qMin(info->heightForWidth(info->width()), info->height() + room.height() - height());
    if (wantHeight > info->height()) {
        const int dy = wantHeight - info->height();
        info->resize(info->width(), wantHeight);
        for (QPushButton *b : {ui->pushButtonOk, ui->pushButtonCancel})
            b->move(b->x(), b->y() + dy);
        resize(width(), height() + dy);
    }
    setFixedSize(size());
}

// The title stays on one line; a long name gives way in its middle, so the
// start of the sentence and its closing mark are always seen.
void MsgDlg::setTitle(const QString &title)
{
    QLabel *label = ui->labelTitle;
    label->setTextFormat(Qt::PlainText);  // a cut could leave half a tag
    const QString shown = label->fontMetrics().elidedText(title, Qt::ElideMiddle, label->width());
    label->setText(shown);
    if (shown != title)
        label->setToolTip(title);
}

MsgDlg::~MsgDlg()
{
    delete ui;
}

int MsgDlg::warning(QWidget *parent, QString title, QString text, int buttons)
{
    MsgDlg dlg(parent, title, text, buttons);
    return dlg.exec();
}

void MsgDlg::setButtonTexts(const QString &ok, const QString &cancel)
{
    const int gap = ui->pushButtonOk->x() - ui->pushButtonCancel->geometry().right();
    int x = ui->pushButtonOk->geometry().right() + 1;
    ui->pushButtonOk->setText(ok);
    ui->pushButtonCancel->setText(cancel);
    for (QPushButton *b : {ui->pushButtonOk, ui->pushButtonCancel}) {
        const int w = qMin(qMax(b->width(), b->sizeHint().width()), x);
        x -= w;
        b->setGeometry(x, b->y(), w, b->height());
        x = qMax(0, x - gap);
    }
}

void MsgDlg::okSLOT()
{
    done(QMessageBox::Yes);
}

void MsgDlg::cancelSLOT()
{
    done(QMessageBox::No);
}
