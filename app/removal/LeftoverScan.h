#pragma once

#include "LeftoverFinder.h"

#include <QMetaType>
#include <QThread>
#include <QVector>

Q_DECLARE_METATYPE(QVector<LeftoverFinder::Group>)

// Looks for leftovers off the GUI thread once the catalogue is complete: what
// is installed decides what is not a leftover. Reports the whole list again
// after every folder that added to it.
class LeftoverScan : public QThread
{
    Q_OBJECT

public:
    explicit LeftoverScan(QObject *parent = nullptr);

    // What installed items claim: each record's identifier and those the
    // bundles inside it name, with this application's own.
    static QStringList installedClaims();

signals:
    void found(QVector<LeftoverFinder::Group> groups);

protected:
    void run() override;
};
