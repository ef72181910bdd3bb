#include "ScanSupport.h"

#include "AppCenter.h"
#include "AppInfo.h"
#include "hpUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>

#include <cstdlib>

namespace scan {

QFileInfoList listFolder(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

QString timeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString lastReadText(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return QString();
    return timeText(info.lastRead());
}

namespace {

int runShell(const QString &command)
{
    // The bytes the file system gave us for these names, so any name the
    // listing produced can be named back to the tools.
    return std::system(QFile::encodeName(command).constData());
}

} // namespace

void convertIcon(const QString &iconDir, const QString &source)
{
    QString quotedSource = source;
    hpConvPath(quotedSource);
    QString quotedDir = iconDir;
    runShell(QStringLiteral("mkdir -p ") + hpConvPath(quotedDir));
    QString target = iconDir + QStringLiteral("/icon_32x32.png");
    const QString command = QStringLiteral("sips -s format png ") + quotedSource + QStringLiteral(" --out ")
                            + hpConvPath(target);
    const int ret = runShell(command);
    qDebug("%s {ret:%d}", QFile::encodeName(command).constData(), ret);
}

void publish(AppInfo *info)
{
    AppCenter::Inst()->append(QList<AppInfo *>{info});
}

} // namespace scan
