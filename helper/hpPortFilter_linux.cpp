#include "hpPortFilter.h"

#include <linux/filter.h>
#include <sys/socket.h>

void hpOnlyFromPort(int fd, quint16 port)
{
    // The source port is the first half-word after the IP header, whose
    // length the header's first byte gives.
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_B | BPF_ABS, quint32(SKF_NET_OFF)),
        BPF_STMT(BPF_ALU | BPF_AND | BPF_K, 0x0f),
        BPF_STMT(BPF_ALU | BPF_LSH | BPF_K, 2),
        BPF_STMT(BPF_MISC | BPF_TAX, 0),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, quint32(SKF_NET_OFF)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, port, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xffffffffu),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog program{sizeof code / sizeof code[0], code};
    setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program);
}

void hpFromAnyPort(int fd)
{
    int unused = 0;
    setsockopt(fd, SOL_SOCKET, SO_DETACH_FILTER, &unused, sizeof unused);
}
