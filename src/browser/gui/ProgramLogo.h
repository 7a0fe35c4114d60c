#pragma once

#include <QIcon>

namespace kestro {

class ImageStore;

// The program's own icon, as the desktop shows it (the application's window
// icon); the catalog picture "logo" where the program runs without one.
QIcon ProgramLogo(const ImageStore& images);

} // namespace kestro
