#include "PreferencesDlg.h"
#include "ui_PreferencesDlg.h"

#include "Preferences.h"

#include <QIcon>
#include <QShowEvent>

namespace {

Qt::CheckState stateOf(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}

} // namespace

PreferencesDlg::PreferencesDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::PreferencesDlg)
{
    ui->setupUi(this);
    setFixedSize(size());

    ui->tabWidget->setTabIcon(0, QIcon(QStringLiteral(":/sysIcon/rc/general.png")));
    ui->tabWidget->setTabIcon(1, QIcon(QStringLiteral(":/sysIcon/rc/update.png")));

    connect(ui->checkBoxKeepSafe, &QCheckBox::stateChanged, this, &PreferencesDlg::keepSafeChanged);
    connect(ui->checkBoxSoundEffect, &QCheckBox::stateChanged, this, &PreferencesDlg::soundEffectChanged);
    connect(ui->checkBoxAutomatic, &QCheckBox::stateChanged, this, &PreferencesDlg::automaticChanged);
    connect(ui->checkBoxAutomaticBeta, &QCheckBox::stateChanged, this, &PreferencesDlg::automaticBetaChanged);
    connect(ui->pushButtonCheckNow, &QPushButton::clicked, this, &PreferencesDlg::checkNowBtnClicked);

    const QString lastUpdate = Preferences::lastUpdateTime();
    if (!lastUpdate.isEmpty()) {
        ui->labelUpdate->show();
        ui->labelUpdateTime->setText(lastUpdate);
    } else {
        ui->labelUpdate->hide();
        ui->labelUpdateTime->clear();
    }
    fitTexts();

    // The boxes are connected already, so a stored value that differs from the
    // form's default goes through the normal change handling (log and save).
    const struct {
        QCheckBox *box;
        bool value;
    } boxes[] = {
        {ui->checkBoxKeepSafe, Preferences::hideAppleApps()},
        {ui->checkBoxSoundEffect, Preferences::playSound()},
        {ui->checkBoxAutomatic, Preferences::autoCheckUpdate()},
        {ui->checkBoxAutomaticBeta, Preferences::autoCheckBeta()},
    };
    for (const auto &b : boxes) {
        if (b.box->checkState() != stateOf(b.value))
            b.box->setCheckState(stateOf(b.value));
    }
}

// The form was drawn for the English texts; translations run longer.
void PreferencesDlg::fitTexts()
{
    // Each grey note takes the lines it needs, and the rows below it follow.
    int shift = 0;
    for (QWidget *w : {static_cast<QWidget *>(ui->checkBoxKeepSafe), static_cast<QWidget *>(ui->label_2),
                       static_cast<QWidget *>(ui->checkBoxSoundEffect), static_cast<QWidget *>(ui->label)}) {
        w->move(w->x(), w->y() + shift);
        if (auto *note = qobject_cast<QLabel *>(w)) {
            const int need = note->heightForWidth(note->width());
            shift += need - note->height();
            note->resize(note->width(), need);
        }
    }

    // The time moves right as far as its caption needs, or below it when the
    // row cannot hold both.
    QLabel *caption = ui->labelUpdate;
    QLabel *time = ui->labelUpdateTime;
    const int gap = time->x() - (caption->x() + caption->width());
    const int right = time->x() + time->width();
    const int need = caption->sizeHint().width();
    if (need > caption->width())
        caption->resize(need, caption->height());
    const int left = caption->x() + caption->width() + gap;
    if (left + time->sizeHint().width() <= right)
        time->setGeometry(left, time->y(), right - left, time->height());
    else
        time->setGeometry(caption->x(), caption->y() + time->fontMetrics().lineSpacing() + 2, right - caption->x(),
                          time->height());
}

// Pages get their size only when the tab widget is shown: if the notes need
// more than the page has, the dialog grows before it reaches the screen.
void PreferencesDlg::showEvent(QShowEvent *event)
{
    const QWidget *page = ui->tabWidget->currentWidget();
    int bottom = 0;
    for (const QWidget *tab : {ui->tabGeneral, ui->tabUpdate}) {
        for (const QWidget *w : tab->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            const auto *label = qobject_cast<const QLabel *>(w);
            if (!w->isHidden() && !(label && label->text().isEmpty()))
                bottom = qMax(bottom, w->y() + w->height());
        }
    }
    const int margin = 4;
    const int grow = bottom + margin - page->height();
    if (grow > 0) {
        ui->tabWidget->resize(ui->tabWidget->width(), ui->tabWidget->height() + grow);
        setFixedSize(width(), height() + grow);
    }
    QDialog::showEvent(event);
}

PreferencesDlg::~PreferencesDlg()
{
    delete ui;
}

void PreferencesDlg::keepSafeChanged(int state)
{
    qDebug("keepSafeChanged:%d\n", state);
    Preferences::setHideAppleApps(state == Qt::Checked);
    emit prefKeepSafeChanged(Preferences::hideAppleApps());
}

void PreferencesDlg::soundEffectChanged(int state)
{
    qDebug("soundEffectChanged:%d\n", state);
    Preferences::setPlaySound(state == Qt::Checked);
}

void PreferencesDlg::automaticChanged(int state)
{
    qDebug("automaticChanged:%d\n", state);
    Preferences::setAutoCheckUpdate(state == Qt::Checked);
}

void PreferencesDlg::automaticBetaChanged(int state)
{
    qDebug("automaticBetaChanged:%d\n", state);
    Preferences::setAutoCheckBeta(state == Qt::Checked);
}

void PreferencesDlg::checkNowBtnClicked()
{
    emit prefCheckNowClicked();
}
