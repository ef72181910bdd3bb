#include "MainWidget.h"
#include "ui_MainWidget.h"

#include "AppEnv.h"
#include "ListWidget.h"
#include "SearchEdit.h"
#include "hpUtils.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>

namespace {

const int kRemovedShownMs = 6000;

} // namespace

MainWidget::MainWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MainWidget)
    , mRemovedTimer(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    const struct {
        QToolButton *button;
        const char *icon;
        const char *text;
        void (MainWidget::*slot)();
    } buttons[] = {
        {ui->toolButtonApps, ":/sysIcon/rc/apps_button.png", "Applications", &MainWidget::appsButtonPressed},
        {ui->toolButtonWidgets, ":/sysIcon/rc/widgets_button.png", "Widgets", &MainWidget::widgetsButtonPressed},
        {ui->toolButtonPlugins, ":/sysIcon/rc/plugins_button.png", "Plugins", &MainWidget::pluginsButtonPressed},
    };
    for (const auto &b : buttons) {
        b.button->setStyleSheet(QString::fromLatin1(toolButtonNormalStyle));
        b.button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b.button->setIconSize(QSize(48, 48));
        b.button->setIcon(QIcon(QString::fromLatin1(b.icon)));
        b.button->setText(QString::fromLatin1(b.text));
        connect(b.button, &QToolButton::pressed, this, b.slot);
    }
    appsButtonPressed();

    connect(ui->searchEdit, &SearchEdit::searchText, ui->listWidget, &ListWidget::searchApps);
    connect(ui->listWidget, &ListWidget::clicked, this, &MainWidget::listItemChecked);
    connect(ui->removeButton, &QPushButton::clicked, ui->listWidget, &ListWidget::doRemove);
    ui->removeButton->setEnabled(false);

    // Its room stays while it is hidden, so the Remove button never moves.
    QSizePolicy keep = ui->labelRemoved->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ui->labelRemoved->setSizePolicy(keep);
    ui->labelRemoved->hide();
    mRemovedTimer->setSingleShot(true);
    mRemovedTimer->setInterval(kRemovedShownMs);
    connect(mRemovedTimer, &QTimer::timeout, ui->labelRemoved, &QLabel::hide);
    connect(ui->listWidget, &ListWidget::removedSummary, this, &MainWidget::showRemovedSummary);
}

MainWidget::~MainWidget()
{
    delete ui;
}

void MainWidget::resizeEvent(QResizeEvent *event)
{
    // The form's inner widget has a fixed geometry; it follows the space the
    // window's layout gives, so the Remove button is never cut off.
    ui->layoutWidget->resize(event->size());
    QWidget::resizeEvent(event);
}

bool MainWidget::openRemovePage(const QString &path)
{
    return ui->listWidget->removePath(path);
}

bool MainWidget::isRemoving() const
{
    return ui->listWidget->isRemoving();
}

void MainWidget::keepSafeChanged(bool keepSafe)
{
    ui->listWidget->hideAppleApps(keepSafe);
}

void MainWidget::listItemChecked(int state)
{
    ui->removeButton->setEnabled(state == Qt::Checked);
}

void MainWidget::showRemovedSummary(QString name, int items, qint64 kib)
{
    QLabel *label = ui->labelRemoved;
    const QString text = tr("%1 removed: %n item(s), %2 freed", nullptr, items).arg(name, hpSizeToString(kib));
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->show();
    mRemovedTimer->start();
}

void MainWidget::appsButtonPressed()
{
    markSelected(ui->toolButtonApps);
    ui->listWidget->appsPressed();
}

void MainWidget::widgetsButtonPressed()
{
    markSelected(ui->toolButtonWidgets);
    ui->listWidget->widgetsPressed();
}

void MainWidget::pluginsButtonPressed()
{
    markSelected(ui->toolButtonPlugins);
    ui->listWidget->pluginsPressed();
}

void MainWidget::markSelected(QToolButton *chosen)
{
    for (QToolButton *button : {ui->toolButtonApps, ui->toolButtonWidgets, ui->toolButtonPlugins}) {
        const char *style = button == chosen ? toolButtonPressedStyle : toolButtonNormalStyle;
        button->setStyleSheet(QString::fromLatin1(style));
    }
}
