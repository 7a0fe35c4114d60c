#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kestro::test {

// While it lives, file permissions hold for this thread and the threads it
// starts, also when the tests run as root, who otherwise reads any folder: a
// folder made unreadable (mode 000) cannot be read.
class FilePermissionsApply {
public:
    FilePermissionsApply() {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct held[2] = {saved_[0], saved_[1]};
        held[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped_ = ::syscall(SYS_capset, &header_, held) == 0;
    }
    ~FilePermissionsApply() {
        if (dropped_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

} // namespace kestro::test
