#pragma once

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace kestro::test {

// A tmpfs mounted on a folder for as long as the object lives. Mounting needs
// privileges a test run may lack: a test asks ok() and skips, giving
// failure() as the reason.
class ScratchMount {
public:
    ScratchMount(const QString& folder, const QByteArray& options) : folder_(folder.toUtf8()) {
        if (::mount("kestro-test", folder_.constData(), "tmpfs", 0, options.constData()) == 0)
            mounted_ = true;
        else
            failure_ = QStringLiteral("can't mount a tmpfs here: %1").arg(std::strerror(errno));
    }
    ~ScratchMount() {
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool ok() const { return mounted_; }
    std::string failure() const { return failure_.toStdString(); }

private:
    QByteArray folder_;
    bool mounted_ = false;
    QString failure_;
};

} // namespace kestro::test
