#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class MsgDlg;
}

// A notice or a yes/no question with the application icon. The button set uses
// QMessageBox::Yes (the "Ok" button) and QMessageBox::No (the "Cancel" button);
// the result is the value of the pressed button, or 0 when closed otherwise.
class MsgDlg : public QDialog
{
    Q_OBJECT

public:
    MsgDlg(QWidget *parent, QString title, QString text, int buttons);
    ~MsgDlg() override;

    static int warning(QWidget *parent, QString title, QString text, int buttons);
    // Names the two buttons after what they do; each grows to its text, the
    // pair keeping to the right edge.
    void setButtonTexts(const QString &ok, const QString &cancel);

private slots:
    void okSLOT();
    void cancelSLOT();

private:
    void fitText();
    void setTitle(const QString &title);

    Ui::MsgDlg *ui;
};
