#pragma once

#include <QObject>

struct HpParam;

// Runs the system installer on the update package, tells the application
// "quit" and ends the process. Returns only when it refused the command.
class ReinstallHelper : public QObject
{
    Q_OBJECT

public:
    explicit ReinstallHelper(HpParam *param);
    ~ReinstallHelper() override;

    void run();

private:
    HpParam *m_paramArray;
    char *m_databuf;
};
