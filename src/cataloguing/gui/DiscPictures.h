#pragma once

#include <QPixmap>

namespace kestro {

// The catalog dialog's pictures: images 1 to 5 are the frames of a spinning
// disc, shown while a run is busy; image 6 is the disc at rest.
inline constexpr int kDiscFrames = 5;
inline constexpr int kDiscAtRest = 6;

QPixmap DiscPicture(int image);

} // namespace kestro
