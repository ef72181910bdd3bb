#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Whether a hello that came from 127.0.0.1:port and names process pid comes
// from the genuine application: every local UDP socket that could have sent
// from that address and port belongs to pid, and pid runs one of the trusted
// executables. On false, why says what failed.
bool hpPeerIsGenuine(quint16 port, qint64 pid, const QStringList &trusted, QString *why);
