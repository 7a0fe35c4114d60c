#include "platform/MountWatcher.h"

#include <QFile>
#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

namespace kestro {

MountWatcher::MountWatcher(const QString& mountTable, QObject* parent) : QObject(parent) {
    fd_ = ::open(QFile::encodeName(mountTable).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    // A change shows as POLLPRI, which the notifier's exception type waits for.
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Exception, this);
    connect(notifier_, &QSocketNotifier::activated, this, &MountWatcher::mountsChanged);
}

MountWatcher::~MountWatcher() {
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace kestro
