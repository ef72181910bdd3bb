#pragma once

#include <QStringList>

#include <functional>

// Runs a program with an argument vector (no shell), its output discarded.
// Returns the exit status, or -1 when it died from a signal or was ended at
// the time limit, or -2 when it could not be started. timeoutMs < 0 waits
// without limit. The program is looked up on PATH unless it holds a "/".
// With dirFd >= 0 the program starts in that folder. whileWaiting, when
// given, is called about every 50 ms until the program has ended.
int hpSpawn(const QStringList &argv, int timeoutMs, int dirFd = -1,
            const std::function<void()> &whileWaiting = nullptr);
