#include "hpPeerCheck.h"

#include <QHash>

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

bool hpPeerUserIsAdmin(uint uid, bool (*lookUp)(uint uid))
{
    if (uid == 0)
        return true;
    struct Verdict
    {
        bool admin;
        qint64 at;
    };
    static QHash<uint, Verdict> cache;
    const qint64 now = hpPeerClockUs();
    const auto it = cache.constFind(uid);
    if (it != cache.constEnd() && now - it->at < 10 * 1000 * 1000)
        return it->admin;
    if (cache.size() > 4096)
        cache.clear();
    const bool admin = lookUp(uid);
    cache.insert(uid, {admin, now});
    return admin;
}
