#include "RunningItem.h"

#include <QFileInfo>

#include <csignal>

RunningItem::RunningItem(const QString &bundlePath, const QString &bundleId)
    : mBundle(QFileInfo(bundlePath).canonicalFilePath())
    , mBundleId(bundleId)
{
    // "/" would contain every process.
    if (mBundle == QLatin1String("/"))
        mBundle.clear();
}

QVector<RunningItem::Process> RunningItem::ownProcesses() const
{
    QVector<Process> own;
    for (const Process &p : processes()) {
        if (p.own)
            own << p;
    }
    return own;
}

int RunningItem::forceQuit() const
{
    return signalOwn(SIGKILL);
}

bool RunningItem::contains(const QString &executable, Qt::CaseSensitivity cs) const
{
    // The slash keeps "/Applications/Foo.app" from containing "/Applications/Foo.app2/x".
    return !mBundle.isEmpty() && executable.startsWith(mBundle + QLatin1Char('/'), cs);
}

bool RunningItem::isSafeBundleId(const QString &id)
{
    if (id.isEmpty() || id.size() > 255 || id.startsWith(QLatin1Char('.')) || id.endsWith(QLatin1Char('.'))
        || id.contains(QLatin1String("..")))
        return false;
    for (const QChar c : id) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.'
                        || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}
