#pragma once

#include "platform/VolumeLocator.h"

#include <QObject>
#include <map>
#include <optional>

class QThread;
class QTimer;

namespace kestro {

class MountWatcher;

// Which catalogued volumes are online, held by a drive there is now. They are
// looked for off the interface thread (see VolumeLocator) when asked, and
// again shortly after file systems are mounted or unmounted; changed() tells
// when an answer is in.
class OnlineVolumes : public QObject {
    Q_OBJECT
public:
    // A medium that arrives brings several changes of the mount table in a
    // row; they are taken up together this long after the last one.
    static constexpr int kSettleMs = 500;

    explicit OnlineVolumes(DriveTable& drives, QObject* parent = nullptr);
    // Waits for a look still going on, which the time limit of its drives ends.
    ~OnlineVolumes() override;

    const VolumeLocator& locator() const { return locator_; }
    // True from refresh() until changed() of the last look asked for.
    bool isLooking() const { return look_ != nullptr; }

    // The drive that held the volume `tablename` at the last look; nothing
    // when it was offline, or before the first look has ended.
    std::optional<Drive> driveOf(const QString& tablename) const;

public Q_SLOTS:
    // Looks for the volumes again; a look asked for while one goes on
    // follows it.
    void refresh();

Q_SIGNALS:
    void changed();

private:
    void looked();

    DriveTable& drives_;
    VolumeLocator locator_;
    MountWatcher* watcher_;
    QTimer* settle_;
    QThread* look_ = nullptr;
    bool lookAgain_ = false;
    std::vector<HeldVolume> found_; // written by the look, read once it has ended
    std::map<QString, Drive> online_;
};

} // namespace kestro
