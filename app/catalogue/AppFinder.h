#pragma once

#include <QThread>

// Fills the catalogue once per run: scans the eight folders that hold items,
// then measures every item's size, skipping those the size caches vouch for.
class AppFinder : public QThread
{
    Q_OBJECT

public:
    explicit AppFinder(QObject *parent = nullptr);

    void calSoftSize();

signals:
    void done();

protected:
    void run() override;
};
