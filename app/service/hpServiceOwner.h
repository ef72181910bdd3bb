#pragma once

#include <QString>
#include <QtGlobal>

// Whether every socket that can answer from 127.0.0.1:port belongs to root,
// as far as the system lets an ordinary process tell. The genuine service runs
// as root; a user's program that took its port while it restarted does not.
// On false, why says what was found.
bool hpServiceRunsAsRoot(quint16 port, QString *why);
