#include "SearchEdit.h"
#include "ui_SearchEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const int kInnerMargin = 9;
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
