#include "LocalHttpServer.h"

#include <QTcpServer>
#include <QTcpSocket>

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
    , mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer() = default;

bool LocalHttpServer::listen(const QHostAddress &address, quint16 port)
{
    return mServer->listen(address, port);
}

quint16 LocalHttpServer::port() const
{
    return mServer->serverPort();
}

QString LocalHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LocalHttpServer::serve(const QString &path, const Response &response)
{
    mResponses.insert(path, response);
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            mPending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::onReadable(QTcpSocket *socket)
{
    QByteArray &request = mPending[socket];
    request += socket->readAll();
    const int end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    request.clear();
    const QString path = QString::fromLatin1(line.value(1));
    mRequests << path;
    if (!mResponses.contains(path)) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const Response &r = mResponses.value(path);
    if (r.silent)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + (r.status == 200 ? " OK" : " Error")
                      + "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
    if (r.announceLength)
        head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    socket->write(head + "\r\n");
    if (r.stallAfter >= 0) {
        socket->write(r.body.left(int(r.stallAfter)));
        return;
    }
    socket->write(r.body);
    socket->disconnectFromHost();
}
