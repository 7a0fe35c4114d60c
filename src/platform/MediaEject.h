#pragma once

#include <QString>

namespace kestro {

// Unmounts and ejects the medium of a block device ("/dev/sr0") on a worker
// thread, so the caller never waits: through the UDisks2 service when it
// runs (as a desktop user may), else with the `eject` command. Every step is
// bounded by a timeout, and failures are silent: a drive that cannot eject
// simply keeps its medium.
void EjectMedium(const QString& device);

} // namespace kestro
