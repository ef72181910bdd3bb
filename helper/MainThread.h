#pragma once

#include <QThread>

// Serves one command after another: handshake, command, handler.
class MainThread : public QThread
{
    Q_OBJECT

protected:
    void run() override;
};
