// Sets up the log in the folder given as the first argument and logs one line,
// as the helper service does at start; tst_log runs it as root in a namespace.
// With "swap" as second argument, the folder is first moved to <folder>.old
// and a folder anyone may write put in its place.
#include "hpUtils.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

int main(int argc, char *argv[])
{
    if (argc != 2 && !(argc == 3 && !std::strcmp(argv[2], "swap")))
        return 2;
    hpLogInit(QString::fromLocal8Bit(argv[1]));
    if (argc == 3) {
        const QByteArray old = QByteArray(argv[1]) + ".old";
        if (std::rename(argv[1], old.constData()) != 0 || ::mkdir(argv[1], 0777) != 0 || ::chmod(argv[1], 0777) != 0)
            return 3;
    }
    qDebug("probe\n");
    return 0;
}
