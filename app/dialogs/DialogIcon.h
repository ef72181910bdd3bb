#pragma once

#include <QtGlobal>

class QLabel;
class QPixmap;
class QSize;

// The application icon for a label of the given size on a screen of the given
// pixel ratio: size * ratio device pixels, drawn at that size where the build
// has a rendition of it, so it is sharp on standard and Retina screens alike.
QPixmap hpAppIcon(const QSize &shown, qreal devicePixelRatio);

// Puts the application icon into a dialog's icon label, filling the label.
void hpSetAppIcon(QLabel *label);
