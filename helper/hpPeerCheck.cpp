#include "hpPeerCheck.h"

#include <chrono>

namespace {
uint sAdminGid = 80;
}

void hpPeerSetAdminGroup(uint gid)
{
    sAdminGid = gid;
}

uint hpPeerAdminGroup()
{
    return sAdminGid;
}

qint64 hpPeerClockUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
