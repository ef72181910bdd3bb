#include "AppCenter.h"

#include "AppInfo.h"
#include "ItemWidget.h"
#include "StoreLock.h"

void AppCenter::updateUI(QList<ItemWidget *> &rows)
{
    StoreLock lock(mMutex);
    const int count = qMin(rows.size(), mApps.size());
    for (int i = 0; i < count; ++i) {
        const AppInfo *info = mApps.at(i);
        if (info->sizeState == 2 && rows.at(i))
            rows.at(i)->setSizeWidget(info->size);
    }
}
