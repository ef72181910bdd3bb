#include "hpPortFilter.h"

// No socket filters for UDP sockets here: the service drains the strangers'
// datagrams itself.
void hpOnlyFromPort(int, quint16)
{
}

void hpFromAnyPort(int)
{
}
