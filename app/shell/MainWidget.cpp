#include "MainWidget.h"
#include "ui_MainWidget.h"

#include "AppEnv.h"
#include "LeftoverList.h"
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
        QString text;
        void (MainWidget::*slot)();
    } buttons[] = {
        // The first three are names of kinds of item, kept in every language.
        {ui->toolButtonApps, ":/sysIcon/rc/apps_button.png", QStringLiteral("Applications"), &MainWidget::appsButtonPressed},
        {ui->toolButtonWidgets, ":/sysIcon/rc/widgets_button.png", QStringLiteral("Widgets"), &MainWidget::widgetsButtonPressed},
        {ui->toolButtonPlugins, ":/sysIcon/rc/plugins_button.png", QStringLiteral("Plugins"), &MainWidget::pluginsButtonPressed},
        {ui->toolButtonLeftovers, ":/sysIcon/rc/leftovers_button.png", tr("Leftovers"), &MainWidget::leftoversButtonPressed},
    };
    for (const auto &b : buttons) {
        b.button->setStyleSheet(QString::fromLatin1(toolButtonNormalStyle));
        b.button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b.button->setIconSize(QSize(48, 48));
        b.button->setIcon(QIcon(QString::fromLatin1(b.icon)));
        b.button->setText(b.text);
        connect(b.button, &QToolButton::pressed, this, b.slot);
    }
    ui->leftoverList->hide();
    appsButtonPressed();

    connect(ui->searchEdit, &SearchEdit::searchText, ui->listWidget, &ListWidget::searchApps);
    connect(ui->searchEdit, &SearchEdit::searchText, ui->leftoverList, &LeftoverList::search);
    // Both lists report their selection while hidden too; only the shown one's counts.
    connect(ui->listWidget, &ListWidget::clicked, this, [this](int state) {
        if (!leftoversShown())
            listItemChecked(state);
    });
    connect(ui->leftoverList, &LeftoverList::clicked, this, [this](int state) {
        if (leftoversShown())
            listItemChecked(state);
    });
    connect(ui->removeButton, &QPushButton::clicked, this, &MainWidget::removePressed);
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
    connect(ui->leftoverList, &LeftoverList::removedSummary, this, &MainWidget::showRemovedSummary);
    // A removed item may leave its maker's files without an owner.
    connect(ui->listWidget, &ListWidget::removedSummary, ui->leftoverList, &LeftoverList::refresh);
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
    if (ui->leftoverList->isRemoving())
        return false;
    return ui->listWidget->removePath(path);
}

bool MainWidget::isRemoving() const
{
    return ui->listWidget->isRemoving() || ui->leftoverList->isRemoving();
}

bool MainWidget::leftoversShown() const
{
    return !ui->leftoverList->isHidden();
}

void MainWidget::removePressed()
{
    if (leftoversShown())
        ui->leftoverList->doRemove();
    else
        ui->listWidget->doRemove();
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
    showCatalogue(ui->toolButtonApps);
    ui->listWidget->appsPressed();
}

void MainWidget::widgetsButtonPressed()
{
    showCatalogue(ui->toolButtonWidgets);
    ui->listWidget->widgetsPressed();
}

void MainWidget::pluginsButtonPressed()
{
    showCatalogue(ui->toolButtonPlugins);
    ui->listWidget->pluginsPressed();
}

void MainWidget::leftoversButtonPressed()
{
    markSelected(ui->toolButtonLeftovers);
    ui->listWidget->hide();
    ui->leftoverList->show();
    // The list tells its own selection when activated.
    ui->removeButton->setEnabled(false);
    ui->leftoverList->activate();
}

void MainWidget::showCatalogue(QToolButton *chosen)
{
    markSelected(chosen);
    ui->leftoverList->hide();
    ui->listWidget->show();
    // The category's filter tells the selection again when its row shows.
    ui->removeButton->setEnabled(false);
}

void MainWidget::markSelected(QToolButton *chosen)
{
    for (QToolButton *button : {ui->toolButtonApps, ui->toolButtonWidgets, ui->toolButtonPlugins, ui->toolButtonLeftovers}) {
        const char *style = button == chosen ? toolButtonPressedStyle : toolButtonNormalStyle;
        button->setStyleSheet(QString::fromLatin1(style));
    }
}
