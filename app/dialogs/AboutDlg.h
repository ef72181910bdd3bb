#pragma once

#include <QDialog>

namespace Ui {
class AboutDlg;
}

// The about box: product name, version, description with links to the web site.
class AboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDlg(QWidget *parent = nullptr);
    ~AboutDlg() override;

private:
    Ui::AboutDlg *ui;
};
