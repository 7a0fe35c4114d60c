#pragma once

namespace kestro {

// Makes the desktop's icon theme reachable, once at start: the icon folders
// of the XDG data folders (and ~/.icons) join the theme search path, and
// Adwaita is named when the desktop names no theme (as under the offscreen
// platform or a bare window manager). Without any theme the program's own
// drawn pictures stand in.
void UseDesktopIconTheme();

} // namespace kestro
