#pragma once

#include <QString>
#include <QtGlobal>

class QDateTime;
class QMessageLogContext;

// Logging, shared by the application and the helper service. False when the
// folder is refused (none given; for root, unsafe or not to be opened):
// nothing is written to any file then, and messages go to standard error.
bool hpLogInit(QString folder);
void myMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg);
// One log record exactly as it is appended to the file (Latin-1 bytes), one
// line feed at its end whether the message had one or not.
QByteArray hpLogRecord(const QDateTime &when, const QString &msg);
QString hpLogFileName();

QString hpHomePath();
// Defined by the application, which owns the bundle environment; the helper never calls it.
QString hpVersion();
QString hpConvPath(QString &path);
qint64 hpGetSize(const QString &path);
QString hpSizeToString(qint64 kib);
// A regular file, possibly through symbolic links. Anything else (a FIFO, a
// device, a socket, a folder) is never opened or handed to a tool: opening a
// FIFO for reading waits for a writer that never comes.
bool hpIsRegularFile(const QString &path);
