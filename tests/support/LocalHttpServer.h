#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>

class QTcpServer;
class QTcpSocket;

// A plain-HTTP server on loopback for tests of the update check and download:
// it answers GET requests for the paths it was given, in the thread that owns
// it (so the test's event loop, or a modal dialog's, must run). No outside
// network is ever involved.
class LocalHttpServer : public QObject
{
public:
    struct Response {
        int status = 200;
        QByteArray body;
        // Without a Content-Length the client cannot know the total.
        bool announceLength = true;
        // Send the first `stallAfter` bytes of the body, then nothing more
        // (the connection stays open): a download that never ends. -1: all.
        qint64 stallAfter = -1;
        // Accept the request but never answer at all.
        bool silent = false;
    };

    explicit LocalHttpServer(QObject *parent = nullptr);
    ~LocalHttpServer() override;

    bool listen(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    quint16 port() const;
    QString url(const QString &path) const; // http://127.0.0.1:PORT + path

    // A request as it arrived: its header lines in order, and the body that
    // its Content-Length announced.
    struct Received {
        QByteArray method;
        QString path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        QByteArray header(const QByteArray &name) const;
    };

    void serve(const QString &path, const Response &response);
    // Paths requested so far, in order.
    QStringList requests() const { return mRequests; }
    QList<Received> received() const { return mReceived; }

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);

    QTcpServer *mServer;
    QHash<QString, Response> mResponses;
    QHash<QTcpSocket *, QByteArray> mPending;
    QStringList mRequests;
    QList<Received> mReceived;
};
