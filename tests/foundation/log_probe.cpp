// Sets up the log in the folder given as the only argument and logs one line,
// as the helper service does at start; tst_log runs it as root in a namespace.
#include "hpUtils.h"

#include <QString>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    hpLogInit(QString::fromLocal8Bit(argv[1]));
    qDebug("probe\n");
    return 0;
}
