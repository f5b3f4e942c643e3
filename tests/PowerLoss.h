// A test file system that remembers what was forced onto the device and
// drops the rest, so that a power loss at any point is a test, not a hope.
//
// It watches every step the program's saves take through the platform layer
// (SystemFiles::Watcher), while they happen on the real disk: a file made,
// written, forced, removed; a file renamed over another; a folder forced. From
// the files of one folder as they were when it began (all of them on the
// device), it tells what a power loss after any number of those steps
// leaves there, as a POSIX system promises no more:
//  - data written since a file was last forced is lost: the file holds what
//    was forced, or, where it was overwritten in place, any mix of old and
//    new blocks of 512 bytes (one sector, which a device writes whole);
//  - a name made, renamed or removed since the folder was last forced is
//    as it was then.
#pragma once

#include "SystemFiles.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

class PowerLoss : public kakeibo::SystemFiles::Watcher {
public:
    // The files of `directory` as they are now, all of them on the device;
    // watches the steps from here on, until it goes.
    explicit PowerLoss(const QString &directory);
    ~PowerLoss() override;
    PowerLoss(const PowerLoss &) = delete;
    PowerLoss &operator=(const PowerLoss &) = delete;

    using Files = QMap<QString, QByteArray>;  // file name -> content

    // The steps seen so far.
    int steps() const { return int(m_steps.size()); }
    // What the folder's files hold after the first `count` steps, as the
    // program sees them while it runs.
    Files written(int count) const;
    // Every state a power loss after the first `count` steps can leave.
    QList<Files> afterPowerLoss(int count) const;
    // What a step was, for a failure's message.
    QString describe(int step) const;

    void after(const kakeibo::SystemFiles::Step &step) override;

private:
    struct Model;
    Model replay(int count) const;

    QString m_directory;
    Files m_initial;
    QList<kakeibo::SystemFiles::Step> m_steps;
};
