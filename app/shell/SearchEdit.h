#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class SearchEdit;
}

// The search field over the list: a rounded line edit with a magnifier on the
// left and a clear button on the right that shows only while there is text.
class SearchEdit : public QWidget
{
    Q_OBJECT

public:
    explicit SearchEdit(QWidget *parent = nullptr);
    ~SearchEdit() override;

signals:
    void searchText(QString text);

public slots:
    void textChanged(QString text);
    void clearClicked();

private:
    void fitPlaceholder();

    Ui::SearchEdit *ui;
};
