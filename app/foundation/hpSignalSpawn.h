#pragma once

#include <sys/types.h>

// Starting a program from a signal handler, which may have interrupted
// anything, the allocator included: only async-signal-safe calls, and what
// needs memory is set up beforehand.

// Sets up what hpSignalSpawnShell needs; called before the handler is
// installed. False when no program can be started.
bool hpSignalSpawnPrepare();

// Starts /bin/sh -c command with no signal blocked and SIGPIPE at its
// default, so that the program can be ended as usual. The child's process id,
// or -1.
pid_t hpSignalSpawnShell(const char *command);
