#pragma once

#include <QString>

// Scanners of the discovery worker. Each walks one folder (given with a
// trailing slash), appends one record per bundle to AppCenter as soon as it is
// read, and converts the bundle's icon into the icon cache the first time.
void findApps(QString folder);
void findPlugins(QString folder);
void findWidgets(QString folder);
