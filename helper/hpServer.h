#pragma once

#include <QStringList>
#include <QtGlobal>

// The service end of the helper channel. Used by the service's main thread
// only, one call at a time, without an event loop.
extern "C" {
bool hpServerInit();
void hpServerWait();
int hpServerSend(const char *data, int len);
int hpServerRecv(char *buf, int len, int timeoutMs);
void hpServerUninit();
}

// The executables whose processes may say hello (answered only when the
// hello's socket belongs to the process it names). Set before hpServerWait.
void hpServerSetTrusted(const QStringList &executables);
// The size the socket reported for the datagram hpServerRecv last returned,
// before the read cut it to the buffer.
qint64 hpServerLastRecvSize();
