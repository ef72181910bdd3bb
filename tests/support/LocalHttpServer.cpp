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
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { topUp(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            mPending.remove(socket);
            mFilling.remove(socket);
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
        head += "Content-Length: "
            + QByteArray::number(r.claimedLength >= 0 ? r.claimedLength : r.body.size() + r.filler) + "\r\n";
    if (r.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    socket->write(head + "\r\n");
    if (r.stallAfter >= 0) {
        sendBody(socket, path, r.body.left(int(r.stallAfter)), r.chunked);
        return;
    }
    sendBody(socket, path, r.body, r.chunked);
    if (r.filler > 0) {
        mFilling.insert(socket, {path, r.filler, r.chunked});
        topUp(socket);
        return;
    }
    if (r.chunked)
        socket->write("0\r\n\r\n");
    socket->disconnectFromHost();
}

void LocalHttpServer::sendBody(QTcpSocket *socket, const QString &path, const QByteArray &data, bool chunked)
{
    if (data.isEmpty())
        return;
    if (chunked)
        socket->write(QByteArray::number(data.size(), 16) + "\r\n");
    socket->write(data);
    if (chunked)
        socket->write("\r\n");
    mSent[path] += data.size();
}

void LocalHttpServer::topUp(QTcpSocket *socket)
{
    auto it = mFilling.find(socket);
    if (it == mFilling.end())
        return;
    // A little ahead of the client, never the whole answer at once.
    const qint64 step = 64 * 1024;
    while (it->left > 0 && socket->bytesToWrite() < step) {
        const qint64 n = qMin(step, it->left);
        it->left -= n;
        QByteArray data(int(n), 'f');
        // Lines, so that a page made of it can still be laid out.
        for (int i = 63; i < data.size(); i += 64)
            data[i] = '\n';
        sendBody(socket, it->path, data, it->chunked);
    }
    if (it->left == 0) {
        if (it->chunked)
            socket->write("0\r\n\r\n");
        mFilling.erase(it);
        socket->disconnectFromHost();
    }
}
