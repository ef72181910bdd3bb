#include "LeftoverScan.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QSettings>

LeftoverScan::LeftoverScan(QObject *parent)
    : QThread(parent)
{
    qRegisterMetaType<QVector<LeftoverFinder::Group>>();
}

QStringList LeftoverScan::installedClaims()
{
    QStringList claims;
    QList<AppInfo *> apps;
    AppCenter::Inst()->getAppList(apps);
    for (const AppInfo *info : qAsConst(apps)) {
        if (!info->bundleId.isEmpty())
            claims << info->bundleId;
        claims << LeftoverFinder::bundleClaims(info->path);
    }
    AppCenter::Inst()->releaseAppList(apps);
    // Run from elsewhere than /Applications, this application is no record.
    const QString own = QString::fromUtf8(envInfoPlist);
    if (!own.isEmpty() && hpIsRegularFile(own))
        claims << QSettings(own, hpSettingsFormat()).value(QStringLiteral("CFBundleIdentifier")).toString();
    claims.removeAll(QString());
    claims.removeDuplicates();
    return claims;
}

void LeftoverScan::run()
{
    const QString home = hpHomePath();
    LeftoverFinder finder(installedClaims(), home);
    for (const LeftoverFinder::Folder &folder : LeftoverFinder::folders(home)) {
        if (isInterruptionRequested())
            return;
        if (finder.scan(folder))
            emit found(finder.groups());
    }
}
