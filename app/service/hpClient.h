#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The application's end of the helper channel. Process-wide state, not
// locked: one thread at a time, without an event loop.
extern "C" {
bool hpClientInit();
bool hpClientPeerAlive();
int hpClientSend(const char *data, int len);
int hpClientRecv(char *buf, int len, int timeoutMs);
void hpClientUninit();
// Whether the service answered the last hello and that exchange is still
// open: the service waits for its command a few seconds and answers no one
// else meanwhile, so the command goes on the same exchange.
bool hpClientConnected();
}

// What the last hpClientInit learned of the service.
enum class HpServiceVerdict {
    Found,            // a service that runs as root answered
    Missing,          // nobody who may speak for the service answered in time
    NotAdministrator, // the service answered that it serves administrators only
};
HpServiceVerdict hpClientVerdict();

// Waits for the answer to a request. A service that deletes a large tree
// tells it is at work with "[working]" datagrams: each one restarts the
// silence bound, so a slow service is waited for, while one that went silent
// past silenceMs, ended, or kept working beyond capMs is given up. Returns as
// hpClientRecv, the "[working]" datagrams left out.
int hpClientRecvAnswer(char *buf, int len, int silenceMs, qint64 capMs);

// One "[remove]" request and the indices (into the caller's list) of the
// paths it carries, in order.
struct HpRemoveBatch
{
    QByteArray request; // Base64, ready for hpClientSend
    QVector<int> indices;
};

// Splits root paths into remove requests that each arrive whole: the Base64
// form fits the service's 1023-byte read and the expected result fits the
// client's. A path that contains ";" (the format has no escape) or that cannot
// fit even alone goes into unsendable instead.
QVector<HpRemoveBatch> hpClientRemoveBatches(const QStringList &paths, QVector<int> *unsendable);

// Sends the paths in as many requests as needed, each with its own
// handshake, and merges the answers; timeoutMs is the silence bound of
// hpClientRecvAnswer: element i is true when the service
// reported paths[i] gone. Unsendable paths and those of a failed exchange
// are false; after an exchange without an answer no further one is tried. *answered, when given, is true only when every request found the
// service and got an answer (of whatever shape): false tells "no service" apart
// from "the service could not delete these".
QVector<bool> hpClientRemove(const QStringList &paths, int timeoutMs, bool *answered = nullptr);

// What a request's paths would be cut into: true when every path can be sent
// (none holds ";" or is too long for a request of its own).
bool hpClientCanSend(const QStringList &paths, QStringList *unsendable);

// Marks done[index] for each path of the batch that result (a "[result]"
// datagram) confirms, item by item in request order; a result of another
// shape confirms nothing.
void hpClientMergeResult(const QByteArray &result, const QStringList &paths, const QVector<int> &indices,
                         QVector<bool> *done);
