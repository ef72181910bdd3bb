#include "SearchEdit.h"
#include "ui_SearchEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
const int kInnerMargin = 9;
// QLineEdit keeps this much clear inside its contents on either side.
const int kLineEditMargin = 2;
}

SearchEdit::SearchEdit(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::SearchEdit)
{
    ui->setupUi(this);
    QLineEdit *line = ui->searchLine;
    line->setObjectName(QStringLiteral("SearchLine"));
    line->setStyleSheet(QStringLiteral(
        "#SearchLine{border-radius: 4px;border: 1px;border-color: rgb(133, 143, 140);border-style: solid;}"));
    connect(line, &QLineEdit::textChanged, this, &SearchEdit::textChanged);

    ui->clearButton->setStyleSheet(QStringLiteral("border-image:url(:/sysIcon/rc/btn_delete_active.png);"));
    ui->clearButton->hide();
    connect(ui->clearButton, &QPushButton::clicked, this, &SearchEdit::clearClicked);

    ui->searchLabel->setFixedSize(ui->searchLabel->size());
    ui->clearButton->setFixedSize(ui->clearButton->size());
    auto *inner = new QHBoxLayout(line);
    inner->setSpacing(0);
    inner->setContentsMargins(kInnerMargin, 0, kInnerMargin, 0);
    inner->addWidget(ui->searchLabel);
    inner->addStretch();
    inner->addWidget(ui->clearButton);
    // The images sit inside the inner margins; the text keeps clear of both.
    const int margin = ui->searchLabel->width() + kInnerMargin;
    line->setTextMargins(margin, 0, margin, 0);
    fitPlaceholder();
}

// The form is as wide as the English placeholder needs; a longer translation
// widens the field rather than being cut to "Recher…".
void SearchEdit::fitPlaceholder()
{
    QLineEdit *line = ui->searchLine;
    QStyleOptionFrame frame;
    frame.initFrom(line);
    frame.rect = QRect(QPoint(0, 0), size());
    frame.lineWidth = line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, line);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    const QRect contents = line->style()->subElementRect(QStyle::SE_LineEditContents, &frame, line);
    const QMargins text = line->textMargins();
    const int chrome = width() - contents.width() + text.left() + text.right() + 2 * kLineEditMargin;
    const int need = chrome + line->fontMetrics().horizontalAdvance(line->placeholderText());
    setFixedSize(qMax(width(), need), height());
}

SearchEdit::~SearchEdit()
{
    delete ui;
}

void SearchEdit::textChanged(QString text)
{
    ui->clearButton->setVisible(!text.isEmpty());
    emit searchText(text);
}

void SearchEdit::clearClicked()
{
    ui->clearButton->hide();
    ui->searchLine->clear();
}
