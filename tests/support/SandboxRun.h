#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// tools/sandbox as tests start it: a macOS-shaped root made from a throwaway
// folder of the test, with the build visible read-only. Needs the source and
// build folders that CTest names (KS_SOURCE_DIR, KS_BINARY_DIR).
struct SandboxRun {
    int status = -1; // the command's exit status; -1 when the sandbox did not end by itself
    QString out;
    QString err;
};

// Runs command in the sandbox made from the folder root; options are
// tools/sandbox's own (--as-root, --user NAME, ...). The command reads input
// on its standard input, then its end.
SandboxRun runInSandbox(const QString &root, const QStringList &options, const QStringList &command,
                        const QByteArray &input = QByteArray());

// Whether tools/sandbox can run here at all (bwrap present and allowed its
// namespaces, the test started by CTest). Asked once per process.
bool sandboxUsable();

// The ids the command runs under when host root starts the sandbox without
// --as-root (any other starter: its own ids).
constexpr unsigned kSandboxUserUid = 501;
constexpr unsigned kSandboxUserGid = 20;
