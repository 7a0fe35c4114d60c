#pragma once

#include "platform/DriveTable.h"

#include <QObject>
#include <memory>

namespace kestro {

// Asks drives for their type and volume label off the interface thread and
// brings the answers back to the thread that made the probe: a drive that
// keeps its answer waiting (a network share whose server has gone can hold a
// statfs for minutes) never holds up the window. A drive is asked again and
// again while it reports a type below Removable, until the wait is over, as
// a drive that was just given a medium takes a moment to be ready.
class DriveProbe : public QObject {
    Q_OBJECT
public:
    static constexpr int kDriveWaitMs = 15000;

    // `drives` must outlive every question still being asked: the program's
    // own table lives as long as the program.
    explicit DriveProbe(const DriveTable& drives, int waitMs = kDriveWaitMs,
                        QObject* parent = nullptr);
    // Answers still to come are dropped, and drives still not ready are no
    // longer asked.
    ~DriveProbe() override;

    // Asks about one drive of DriveTable::letters(); answered() brings it
    // back described.
    void ask(const Drive& drive);

Q_SIGNALS:
    void answered(const kestro::Drive& drive);

private:
    struct Mailbox;

    std::shared_ptr<Mailbox> mailbox_;
    const DriveTable& drives_;
    int waitMs_;
};

} // namespace kestro
