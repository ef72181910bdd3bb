#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

class AboutDlg;
class CheckUpdate;
class PreferencesDlg;
class QAction;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QMimeData;
class QMouseEvent;
class QTimer;
namespace Ui {
class MainWindow;
}

// The one top-level window: frameless and translucent, it draws its own
// rounded frame and window buttons and is dragged by any surface that does
// not take the mouse itself. It owns the Help menu, the about and preferences
// dialogs and the update checks.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void setMainWidget(QWidget *widget);
    // Closes the open dialogs and stops the update check before the program
    // quits to install an update; does nothing without a main window.
    static void closeSubWidgets();
    // Whether the frame shows that a drag over the window holds a bundle.
    bool dropTargetShown() const { return mDropTargetShown; }

public slots:
    int showAbout();
    int showPerferences();
    void showHelp();
    void showUpdateBg();
    void showUpdate();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    // A bundle dropped on the window opens its removal page.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createMenu();
    void replaceUpdateCheck();
    // The bundle a drop would open, empty when it is anything else or a
    // removal page is already open.
    QString droppableBundle(const QMimeData *data) const;
    void showDropTarget(bool shown);

    Ui::MainWindow *ui;
    QWidget *mMainWidget = nullptr;
    QMenu *mHelpMenu = nullptr;
    QAction *mAboutAction = nullptr;
    QAction *mPreferencesAction = nullptr;
    QAction *mHelpAction = nullptr;
    QAction *mUpdateAction = nullptr;
    QPointer<AboutDlg> mAboutDlg;
    QPointer<PreferencesDlg> mPreferencesDlg;
    QPointer<CheckUpdate> mCheckUpdate;
    QTimer *mUpdateTimer = nullptr;
    QPoint mLastPos;
    bool mDragging = false;
    QString mFrameStyle;
    bool mDropTargetShown = false;
};
