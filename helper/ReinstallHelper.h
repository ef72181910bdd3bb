#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

struct HpParam;

// Installs an update package the maker signed for a version newer than the
// installed bundle's: reads its signature file (label, version, signature),
// copies the package where only root can write, checks the copy and runs the
// system installer on it, then tells the application "quit" and ends the process.
// Returns only when it refused (and answered "[result]0;").
class ReinstallHelper : public QObject
{
    Q_OBJECT

public:
    explicit ReinstallHelper(HpParam *param);
    ~ReinstallHelper() override;

    void run();

    // Set once at start-up, before the serving thread starts.
    static void setUpdateKey(const QByteArray &publicKey);
    static void setInstaller(const QString &path);

private:
    bool install(QString *why);

    HpParam *m_paramArray;
    char *m_databuf;
};
