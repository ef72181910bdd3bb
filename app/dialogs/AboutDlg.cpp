#include "AboutDlg.h"
#include "ui_AboutDlg.h"

#include "AppEnv.h"
#include "DialogIcon.h"
#include "hpUtils.h"

AboutDlg::AboutDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutDlg)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setFixedSize(size());
    hpSetAppIcon(ui->labelIcon);
    ui->labelVersion->setText(tr("Version ") + hpVersion());

    // The form's two links carry "%s" as their target: the home page first,
    // then the product page.
    QString html = ui->textBrowserRelNotes->toHtml();
    const QString marker = QStringLiteral("%s");
    const QString urls[] = {QString(envHomeUrl), QString(envProductUrl)};
    int from = 0;
    for (const QString &url : urls) {
        const int at = html.indexOf(marker, from);
        if (at < 0)
            break;
        html.replace(at, marker.size(), url);
        from = at + url.size();
    }
    ui->textBrowserRelNotes->setHtml(html);
    ui->textBrowserRelNotes->setOpenExternalLinks(true);
    ui->textBrowserRelNotes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse
                                                     | Qt::LinksAccessibleByKeyboard);
}

AboutDlg::~AboutDlg()
{
    delete ui;
}
