#pragma once

#include <QString>
#include <QThread>

// Mounts a downloaded update image, asks the helper service to install the
// package in it and waits for the service to finish. Reports through
// installFinished(): kInstalled when the service ended (or, without a
// service, after the mounted image was handed to the system), kRefused when
// the service refused the package, kNotMounted when the image could not be
// mounted (the mount folder is someone else's, or the tool failed); nothing
// was installed in the last two.
class InstallThread : public QThread
{
    Q_OBJECT

public:
    enum Result { kInstalled = 0, kRefused = -1, kNotMounted = -2 };

    explicit InstallThread(QObject *parent = nullptr);

    void setFilePath(const QString &path);

    // The request for a package path, before Base64.
    static QByteArray installRequest(const QString &package);
    static QString mountFolder();

signals:
    void installFinished(int errCode);

protected:
    void run() override;

private:
    // NoAnswer: no service, a short send, or no end in time; the fallback applies.
    enum class Wait { Ended, Refused, NoAnswer };
    Wait sendAndWait(const QString &package);

    QString mFilePath;
};
