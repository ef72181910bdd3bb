// Code of the user's, loaded into a client: preloaded, it hides that it was
// by renaming LD_PRELOAD in the process's own environment, where /proc shows
// it; loaded as a plug-in it does nothing more.
#include <cstring>
#include <unistd.h>

namespace {

__attribute__((constructor)) void hide()
{
    for (char **e = environ; e && *e; ++e)
        if (strncmp(*e, "LD_PRELOAD=", 11) == 0)
            (*e)[0] = 'X';
}

} // namespace
