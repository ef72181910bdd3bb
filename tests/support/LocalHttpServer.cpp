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

QByteArray LocalHttpServer::Received::header(const QByteArray &name) const
{
    for (const auto &field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QByteArray();
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
    Received got;
    const QList<QByteArray> lines = request.left(end).split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray field = lines.at(i).trimmed();
        const int colon = field.indexOf(':');
        if (colon > 0)
            got.headers.append({field.left(colon), field.mid(colon + 1).trimmed()});
    }
    // A POST is answered once its whole announced body is here.
    const qint64 length = got.header("Content-Length").toLongLong();
    if (request.size() - (end + 4) < length)
        return;
    got.body = request.mid(end + 4, int(length));
    const QList<QByteArray> line = lines.value(0).trimmed().split(' ');
    request.clear();
    const QString path = QString::fromLatin1(line.value(1));
    got.method = line.value(0);
    got.path = path;
    mRequests << path;
    mReceived << got;
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
