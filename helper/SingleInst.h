#pragma once

#include <QObject>
#include <QString>

// Keeps a second copy of the service out. An flock'ed file in the service's
// own folder rather than a shared-memory segment: the kernel drops the lock
// when its holder dies, even by kill -9, where a segment would outlive it and
// keep every later start out.
class SingleInst : public QObject
{
    Q_OBJECT

public:
    SingleInst(const QString &key, const QString &folder);
    ~SingleInst() override;

    // True when another copy holds the lock.
    bool alreadyExists() const { return m_alreadyExists; }

private:
    int m_lockFd = -1;
    bool m_alreadyExists = false;
};
