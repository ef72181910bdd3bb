#include "hpHarden.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

void hpHardenProcess()
{
    // No close_range here: every possible descriptor, up to the limit.
    struct rlimit rl;
    int top = 4096;
    if (getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY && rl.rlim_cur < 65536)
        top = int(rl.rlim_cur);
    for (int fd = 3; fd < top; ++fd)
        close(fd);
    // Attaching and loading foreign code are the hardened runtime's and
    // library validation's to refuse: both are signing options of the build.
}
