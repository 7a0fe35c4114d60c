#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kestro {

// Tells when a file system is mounted or unmounted anywhere: the kernel
// marks its mount table (/proc/self/mountinfo) for poll() at each change, so
// nothing runs in between. Nothing is told when the table cannot be opened.
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(const QString& mountTable, QObject* parent = nullptr);
    ~MountWatcher() override;

Q_SIGNALS:
    void mountsChanged();

private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace kestro
