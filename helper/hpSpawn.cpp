#include "hpSpawn.h"

#include <QFile>
#include <QThread>
#include <QVector>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

int hpSpawn(const QStringList &argv, int timeoutMs, int dirFd, const std::function<void()> &whileWaiting)
{
    if (argv.isEmpty())
        return -2;
    QVector<QByteArray> bytes;
    for (const QString &a : argv)
        bytes.append(QFile::encodeName(a));
    QVector<char *> args;
    for (QByteArray &b : bytes)
        args.append(b.data());
    args.append(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (dirFd >= 0)
        posix_spawn_file_actions_addfchdir_np(&actions, dirFd);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args.first(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -2;

    int status = 0;
    for (int waited = 0;; waited += 50) {
        const pid_t r = waitpid(pid, &status, timeoutMs < 0 && !whileWaiting ? 0 : WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return -1;
        if (r == 0 && timeoutMs >= 0 && waited >= timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        if (r == 0) {
            if (whileWaiting)
                whileWaiting();
            QThread::msleep(50);
        }
    }
    if (WIFEXITED(status)) {
        // posix_spawnp reports a missing program through the child on some systems.
        return WEXITSTATUS(status) == 127 ? -2 : WEXITSTATUS(status);
    }
    return -1;
}
