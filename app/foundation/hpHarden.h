#pragma once

// The application's first act in main, before Qt or anything else runs:
// closes every descriptor inherited above stderr (a socket of another
// process's could otherwise speak to the helper service as ours) and, on
// Linux, makes the process non-dumpable, so that no process of the same user
// can attach to it or write its memory through /proc. The helper service
// refuses a peer that has not done so. On macOS the hardened runtime and
// library validation of the signed application play the second part.
void hpHardenProcess();
