#pragma once

#include "platform/DriveTable.h"
#include "platform/FileTypes.h"
#include "platform/LinuxDriveSystem.h"
#include "platform/gui/ImageStore.h"
#include "platform/gui/Prompter.h"
#include "platform/gui/Shell.h"
#include "platform/gui/SoundPlayer.h"
#include "settings/gui/ProgramState.h"

namespace kestro {

// The real services of the desktop program over a program folder, and the
// program state made of them: drives of this machine, the desktop's shell
// and file types, sounds, and dialogs on screen. Make it once the
// application object and the icon theme are set up.
class DesktopServices {
public:
    explicit DesktopServices(const QString& programFolder);

    ProgramState& state() { return state_; }

private:
    LinuxDriveSystem driveSystem_;
    DriveTable drives_;
    DesktopShell shell_;
    SoundPlayer sounds_;
    FileTypes fileTypes_;
    ImageStore images_;
    WidgetPrompter prompter_;
    ProgramState state_;
};

} // namespace kestro
