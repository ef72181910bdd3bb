#pragma once

#include <QMap>
#include <QString>

// Every object under a sandbox root with its type and size (links: their
// target), leaving out what any run of the programs writes for itself: the
// data and configuration folders of the home, the service's folder, /tmp.
// Two listings taken before and after a removal differ by what it removed.
QMap<QString, QString> treeListing(const QString &root);
