#include "DialogIcon.h"

#include <QLabel>
#include <QPixmap>
#include <QtMath>

QPixmap hpAppIcon(const QSize &shown, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize pixels(qCeil(shown.width() * ratio), qCeil(shown.height() * ratio));

    // The rendition for the next whole ratio up, else the large master.
    const QString rendition = QStringLiteral(":/sysIcon/rc/appicon_%1%2.png")
                                  .arg(shown.width())
                                  .arg(ratio > 1 ? QStringLiteral("@2x") : QString());
    QPixmap icon(rendition);
    if (icon.isNull() || shown.width() != shown.height())
        icon.load(QStringLiteral(":/sysIcon/rc/appicon.png"));
    if (icon.size() != pixels)
        icon = icon.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    icon.setDevicePixelRatio(ratio);
    return icon;
}

void hpSetAppIcon(QLabel *label)
{
    label->setPixmap(hpAppIcon(label->size(), label->devicePixelRatioF()));
}
