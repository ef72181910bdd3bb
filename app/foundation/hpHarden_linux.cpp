#include "hpHarden.h"

#include <cstdlib>
#include <dirent.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

void closeFrom3()
{
#ifdef SYS_close_range
    if (syscall(SYS_close_range, 3u, ~0u, 0u) == 0)
        return;
#endif
    // Older kernels: what /proc lists, read fully before closing anything.
    int fds[4096];
    int n = 0;
    if (DIR *dir = opendir("/proc/self/fd")) {
        const int own = dirfd(dir);
        while (const dirent *ent = readdir(dir)) {
            const int fd = atoi(ent->d_name);
            if (fd > 2 && fd != own && n < 4096)
                fds[n++] = fd;
        }
        closedir(dir);
    }
    for (int i = 0; i < n; ++i)
        close(fds[i]);
}

} // namespace

void hpHardenProcess()
{
    closeFrom3();
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    // Qt's regular expressions would otherwise compile into anonymous
    // executable memory, which the helper service cannot tell from injected
    // code.
    setenv("QT_ENABLE_REGEXP_JIT", "0", 1);
}
