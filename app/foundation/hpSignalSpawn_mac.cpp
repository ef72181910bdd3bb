#include "hpSignalSpawn.h"

#include <crt_externs.h>
#include <csignal>
#include <spawn.h>

namespace {
// posix_spawnattr_init allocates, so the attributes are made here once and
// only read in the handler.
posix_spawnattr_t sAttr;
bool sReady = false;
} // namespace

bool hpSignalSpawnPrepare()
{
    if (sReady)
        return true;
    if (posix_spawnattr_init(&sAttr) != 0)
        return false;
    sigset_t none;
    sigemptyset(&none);
    sigset_t piped;
    sigemptyset(&piped);
    sigaddset(&piped, SIGPIPE);
    sReady = posix_spawnattr_setsigmask(&sAttr, &none) == 0 && posix_spawnattr_setsigdefault(&sAttr, &piped) == 0
             && posix_spawnattr_setflags(&sAttr, short(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF)) == 0;
    if (!sReady)
        posix_spawnattr_destroy(&sAttr);
    return sReady;
}

// fork() here runs libSystem's atfork handlers, which take the allocator's
// locks; posix_spawn is one system call and takes none.
pid_t hpSignalSpawnShell(const char *command)
{
    if (!sReady)
        return -1;
    char sh[] = "sh";
    char dashC[] = "-c";
    char *const argv[] = {sh, dashC, const_cast<char *>(command), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, "/bin/sh", nullptr, &sAttr, argv, *_NSGetEnviron()) == 0 ? pid : -1;
}
