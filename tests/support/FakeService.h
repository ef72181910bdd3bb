#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class QUdpSocket;

// Stands in for the helper service on the channel's first port, answering
// as the test tells it to. Lives in the thread that made it and answers from
// that thread's event loop, while the code under test waits in another.
class FakeService : public QObject
{
    Q_OBJECT

public:
    enum Mode {
        Answer, // deletes what lies inside its folder, SUCCESS for those, FAILURE for the rest
        Silent, // answers the hello, never a request
        Cut,    // deletes nothing, answers with the last byte of the result missing
        Slow,   // as Answer, after telling it is at work for longer than the client's bounds
        NotAdministrator, // refuses every hello as the service refuses a standard user
    };

    // Deletes only below folder, whatever it is sent.
    FakeService(Mode mode, const QString &folder, QObject *parent = nullptr);
    bool bound() const;
    // Answered FAILURE and left in place in Answer mode.
    void setFailing(const QStringList &paths) { mFailing = QSet<QString>(paths.begin(), paths.end()); }

    int hellos() const { return mHellos; }
    int requests() const { return mRequests; }
    QStringList lastPaths() const { return mLastPaths; }

private:
    void readPending();
    QByteArray answer(const QByteArray &request);

    Mode mMode;
    QString mFolder;
    QSet<QString> mFailing;
    QUdpSocket *mSocket;
    int mHellos = 0;
    int mRequests = 0;
    QStringList mLastPaths;
};
