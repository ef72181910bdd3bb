#include "FakeService.h"

#include "hpChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

FakeService::FakeService(Mode mode, const QString &folder, QObject *parent)
    : QObject(parent)
    , mMode(mode)
    , mFolder(QDir::cleanPath(folder) + QLatin1Char('/'))
    , mSocket(new QUdpSocket(this))
{
    mSocket->bind(QHostAddress(QHostAddress::LocalHost), peerPortArray[0], QAbstractSocket::DontShareAddress);
    connect(mSocket, &QUdpSocket::readyRead, this, &FakeService::readPending);
}

bool FakeService::bound() const
{
    return mSocket->state() == QAbstractSocket::BoundState;
}

void FakeService::readPending()
{
    while (mSocket->hasPendingDatagrams()) {
        const QNetworkDatagram in = mSocket->receiveDatagram();
        const QByteArray data = in.data();
        QByteArray reply;
        if (hpIsHello(data.constData(), data.size())) {
            ++mHellos;
            reply = mMode == NotAdministrator ? QByteArray("Kestrelswp-Magic!admin")
                                              : hpHelloText(QCoreApplication::applicationPid());
        } else {
            ++mRequests;
            reply = answer(QByteArray::fromBase64(data));
            if (mMode == Slow) {
                // Sixteen signs of life, 400 ms apart, then the answer.
                auto *timer = new QTimer(this);
                auto *beats = new int(0);
                const QHostAddress to = in.senderAddress();
                const quint16 port = quint16(in.senderPort());
                connect(timer, &QTimer::timeout, this, [=]() {
                    if (++*beats <= 16) {
                        mSocket->writeDatagram("[working]0", to, port);
                        return;
                    }
                    mSocket->writeDatagram(reply, to, port);
                    timer->deleteLater();
                    delete beats;
                });
                timer->start(400);
                reply.clear();
            }
        }
        if (!reply.isEmpty())
            mSocket->writeDatagram(reply, in.senderAddress(), quint16(in.senderPort()));
    }
}

QByteArray FakeService::answer(const QByteArray &request)
{
    QList<QByteArray> items = request.split(';');
    items.removeFirst(); // "[remove]N"
    mLastPaths.clear();
    QByteArray result = "[result]" + QByteArray::number(items.size());
    for (const QByteArray &item : qAsConst(items)) {
        const QString path = QString::fromUtf8(item.mid(item.indexOf(':') + 1));
        mLastPaths << path;
        bool gone = false;
        const bool inside = path.startsWith(mFolder) && !path.contains(QLatin1String("/.."));
        if ((mMode == Answer || mMode == Slow) && inside && !mFailing.contains(path)) {
            const QFileInfo info(path);
            if (info.isDir() && !info.isSymLink())
                gone = QDir(path).removeRecursively();
            else if (info.exists() || info.isSymLink())
                gone = QFile::remove(path);
            else
                gone = true; // already gone counts, as it does for rm -rf
        }
        result += (gone ? ";SUCCESS:" : ";FAILURE:") + path.toLatin1();
    }
    if (mMode == Silent)
        return QByteArray();
    if (mMode == Cut)
        result.chop(1);
    return result;
}
