#pragma once

// The block the main thread hands to a command handler, which owns and frees
// it and the command text it points to (both malloc'ed).
struct HpParam
{
    char *databuf; // the decoded command, zero-terminated
    int size;      // its length without the terminator; it may hold NULs
};
