#include "SandboxRun.h"

#include <QProcess>
#include <QTemporaryDir>

SandboxRun runInSandbox(const QString &root, const QStringList &options, const QStringList &command,
                        const QByteArray &input)
{
    SandboxRun run;
    QProcess p;
    // The build may lie outside the project folder, which the sandbox shows anyway.
    p.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/sandbox"),
            QStringList{root} + options
                + QStringList{QStringLiteral("--bind-ro"), qEnvironmentVariable("KS_BINARY_DIR"), QStringLiteral("--")}
                + command);
    p.write(input);
    p.closeWriteChannel();
    // Only a guard against a hung command; nothing here is timed.
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

bool sandboxUsable()
{
    static const bool usable = [] {
        if (qEnvironmentVariableIsEmpty("KS_SOURCE_DIR") || qEnvironmentVariableIsEmpty("KS_BINARY_DIR"))
            return false;
        QTemporaryDir root;
        return root.isValid()
            && runInSandbox(root.path(), {QStringLiteral("--as-root")}, {QStringLiteral("true")}).status == 0;
    }();
    return usable;
}
