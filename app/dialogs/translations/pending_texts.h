// Not compiled: read by lupdate only.
//
// Texts of windows whose classes do not carry them in code (yet). An entry that
// no source names is marked vanished by lupdate and left out of the .qm files,
// so these lines keep the translations live. Once a class carries a text in its
// own tr() call or form, remove its line here.
#pragma once

#include <QtGlobal>

static const char *const ksPendingTexts[] = {
};
