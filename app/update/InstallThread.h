#pragma once

#include <QString>
#include <QThread>

// Mounts a downloaded update image, asks the helper service to install the
// package in it and waits for the service to finish. Reports through
// installFinished(): kInstalled only when the service said it installed
// ("quit") and ended; kOpened when no service answered and the image was
// handed to the system for the user to install; kRefused when the service
// refused the package, kNotMounted when the image could not be mounted (the
// mount folder is someone else's, or the tool failed), kFailed when the
// service ended without saying it installed or did not end in time. Nothing
// was installed in all but the first.
class InstallThread : public QThread
{
    Q_OBJECT

public:
    enum Result { kInstalled = 0, kRefused = -1, kNotMounted = -2, kOpened = -3, kFailed = -4 };

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
    // NoService: nobody answered the hello or took the request, the fallback
    // applies; Failed: the service ended without "quit" or not in time.
    enum class Wait { Installed, Refused, NoService, Failed };
    Wait sendAndWait(const QString &package);

    QString mFilePath;
};
