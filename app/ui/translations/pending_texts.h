// Not compiled: read by lupdate only.
//
// Texts of windows whose classes do not carry them in code (yet). An entry that
// no source names is marked vanished by lupdate and left out of the .qm files,
// so these lines keep the translations live. Once a class carries a text in its
// own tr() call or form, remove its line here.
#pragma once

#include <QtGlobal>

static const char *const ksPendingTexts[] = {
    QT_TRANSLATE_NOOP("CrashDlg", " Crash Reporter"),
    QT_TRANSLATE_NOOP("CrashDlg", "Kestrelsweep Crash Reporter"),
    QT_TRANSLATE_NOOP("CrashDlg", "Ignore"),
    QT_TRANSLATE_NOOP("CrashDlg", "Send and Reopen"),
    QT_TRANSLATE_NOOP("CrashDlg", "Cancel"),
    QT_TRANSLATE_NOOP("CrashDlg", "Close"),
    QT_TRANSLATE_NOOP("CrashDlg", "We are sorry!"),
    QT_TRANSLATE_NOOP("CrashDlg", "Kestrelsweep had a problem and crashed. To help us diagnose and fix the problem, you can send us a crash report."),
    QT_TRANSLATE_NOOP("CrashDlg", "Thank you, we will fix the bug as soon as possible!"),
};
