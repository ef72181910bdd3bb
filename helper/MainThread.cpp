#include "MainThread.h"

#include "RemoveHelper.h"
#include "ReinstallHelper.h"
#include "hpChannel.h"
#include "hpParam.h"
#include "hpRequest.h"
#include "hpServer.h"

#include <QDebug>
#include <QElapsedTimer>

#include <cstdlib>
#include <cstring>

void MainThread::run()
{
    qDebug("hpServerInit... \n");
    while (!hpServerInit())
        QThread::msleep(500);

    for (;;) {
        qDebug("Wait Client ...\n");
        hpServerWait();

        qDebug("Recv command ...\n");
        char buf[hpMaxCommand + 1];
        // The application sends its hello again while no reply has reached
        // it; a second copy that crossed the reply is no command.
        QElapsedTimer waited;
        waited.start();
        int n = 0;
        do {
            n = hpServerRecv(buf, hpMaxCommand, int(qMax(qint64(1), 6000 - waited.elapsed())));
        } while (n > 0 && hpIsHello(buf, n) && waited.elapsed() < 6000);
        if (n < 1 || hpIsHello(buf, n))
            continue;
        buf[n] = 0;
        qDebug("recved %s\n", hpLogSafe(buf, n).constData());

        QByteArray text;
        QString why;
        if (!hpDecodeCommand(QByteArray(buf, n), hpServerLastRecvSize(), &text, &why)) {
            // A request that did not arrive whole deletes nothing.
            qDebug("request refused, nothing deleted: %s\n", hpLogSafe(why.toUtf8(), -1).constData());
            const int sent = hpServerSend("[result]0;", 10);
            qDebug("execute remove end, send result %d bytes\n", sent);
            continue;
        }

        HpParam *param = static_cast<HpParam *>(malloc(sizeof(HpParam)));
        param->databuf = static_cast<char *>(malloc(size_t(text.size()) + 1));
        memcpy(param->databuf, text.constData(), size_t(text.size()));
        param->databuf[text.size()] = 0;
        param->size = text.size();
        qDebug("get{%s}\n", hpLogSafe(text).constData());

        if (text.startsWith("[reinstall]")) {
            // Returns only when the command was refused; the service keeps serving.
            ReinstallHelper *helper = new ReinstallHelper(param);
            helper->run();
            delete helper;
        } else {
            RemoveHelper *helper = new RemoveHelper(param);
            helper->run();
            delete helper;
        }
    }
}
