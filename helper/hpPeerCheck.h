#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Whether a datagram that came from 127.0.0.1:port on behalf of process pid
// comes from the genuine application, judged from what the kernel says at
// this moment, never from the datagram: every socket that could have sent
// from that address and port belongs to pid and to no other process; pid runs
// one of the trusted executables (owned by root, writable by nobody else), in
// the service's own mount namespace, untraced, and without variables in its
// environment that make the loader or Qt run code the executable does not
// hold.
//
// Asked for the hello and again for every later datagram. *startTime is 0 for
// the hello and receives the process's start time; afterwards it carries that
// value, so a process that took over a reused pid is refused. On false, why
// says what failed.
bool hpPeerIsGenuine(quint16 port, qint64 pid, const QStringList &trusted, quint64 *startTime, QString *why);
