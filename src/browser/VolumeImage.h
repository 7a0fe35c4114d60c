#pragma once

#include <QString>

namespace kestro {

// The picture of a volume in the tree and the list, from the kind of drive it
// was catalogued from and its capacity in bytes: a removable disk is a
// floppy below 3,000,000 bytes and a Zip disk from just above 92,000,000 up
// to 102,000,000 bytes.
QString VolumeImageKey(int volumeType, double size);

} // namespace kestro
