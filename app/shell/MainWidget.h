#pragma once

#include <QWidget>

class QResizeEvent;
class QTimer;
class QToolButton;
namespace Ui {
class MainWidget;
}

// What fills the main window: the category buttons, the search field, the
// list and the Remove button.
class MainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // The removal page for a bundle given by its path (one dropped on the
    // window); false while a page is already open.
    bool openRemovePage(const QString &path);
    bool isRemoving() const;

public slots:
    void keepSafeChanged(bool keepSafe);
    void listItemChecked(int state);
    void appsButtonPressed();
    void widgetsButtonPressed();
    void pluginsButtonPressed();
    void leftoversButtonPressed();
    // A few seconds of "Foo removed: ..." beside the Remove button; nothing
    // to dismiss, nothing waits for it.
    void showRemovedSummary(QString name, int items, qint64 kib);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The chosen category's button gets blue text, the others black.
    void markSelected(QToolButton *chosen);
    // The catalogue's list in place of the leftovers' with the Remove button
    // as its selection says.
    void showCatalogue(QToolButton *chosen);
    bool leftoversShown() const;
    void removePressed();

    Ui::MainWidget *ui;
    QTimer *mRemovedTimer;
};
