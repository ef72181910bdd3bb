#pragma once

#include <QtGlobal>

// While the service waits for its peer's command, the kernel may drop every
// datagram from another port before it is queued (Linux: a socket filter),
// so that a flood from strangers costs the service nothing and leaves the
// command room in the queue. Only a saving: every datagram that passes is
// still proven to come from the peer. Where the system has no such filter,
// both do nothing.
void hpOnlyFromPort(int fd, quint16 port);
void hpFromAnyPort(int fd);
