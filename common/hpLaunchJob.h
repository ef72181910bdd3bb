#pragma once

#include <QString>

// Launch jobs: a daemon or agent keeps running after its property list is
// deleted, so it is unloaded first, by the Label the file names. Shared by
// the application (the user's agents) and the helper service (the daemons).

// Whether label may reach launchctl: a reverse-DNS name of at least three
// parts, each of [A-Za-z0-9_-] and not starting with '-', and not the
// system's own (com.apple.*, in any case).
bool hpIsSafeLaunchLabel(const QString &label);

// The Label of the launch property list name (relative to the open folder
// dirFd, or to the current folder when dirFd < 0), or empty when it is not
// a regular file (a link is not followed), is no readable property list, or
// its Label is not safe.
QString hpLaunchLabel(const QString &name, int dirFd = -1);
