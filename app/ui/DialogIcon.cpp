#include "DialogIcon.h"

#include <QLabel>
#include <QPixmap>

void hpSetAppIcon(QLabel *label)
{
    const QPixmap icon(QStringLiteral(":/sysIcon/rc/appicon.png"));
    label->setPixmap(icon.scaled(label->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
}
