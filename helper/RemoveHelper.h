#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

struct HpParam;

// Deletes the paths of one remove request and answers with one result per
// path. Created, run and deleted by the main thread for one command.
class RemoveHelper : public QObject
{
    Q_OBJECT

public:
    explicit RemoveHelper(HpParam *param);
    ~RemoveHelper() override;

    void run();
    // 0 when the path no longer exists, -1 when it was refused or is still
    // there, -2 when rm could not be started.
    int doRemove(const QString &path);
    void release();

private:
    // Unloads the daemon whose property list name in the open folder dirFd
    // is about to be deleted: the job would otherwise run until the next start.
    void unloadDaemon(int dirFd, const QString &name);
    // Tells the application, at most once a second, that the request is
    // still being worked on: a large tree may take minutes to delete.
    void working(bool now = false);

    HpParam *m_paramArray;
    char *m_databuf;
    int m_done = 0;
    QElapsedTimer m_lastWorking;
};
