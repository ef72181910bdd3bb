#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// What the probes that tests run inside tools/sandbox share.
namespace probe {

// Whether this process runs inside tools/sandbox (its first process is
// bubblewrap). Probes fill and delete what they are told to, so outside it
// they say so on stderr and stop.
bool inSandbox(const char *name);

// One line on stdout, flushed at once: tests read the lines while the probe runs.
void print(const QString &line);

// The texts of a dialog's labels, in the order they were made.
QStringList labelTexts(const QWidget *dialog);

// Answers every message box (the project's MsgDlg or a QMessageBox) with Yes
// as soon as it shows, as a user who wants what they asked for would. Every
// window is first shown to onShow, which may report it, or answer it itself
// and return true.
class DialogAnswerer : public QObject
{
public:
    // Watches the whole application.
    explicit DialogAnswerer(QObject *parent = nullptr);

    std::function<bool(QWidget *window)> onShow;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace probe
