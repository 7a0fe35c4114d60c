#include "settings/gui/DesktopServices.h"

#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

namespace kestro {

DesktopServices::DesktopServices(const QString& programFolder)
    : drives_(IniFile(ProgramFolder::file(programFolder, ProgramFolder::kSettingsName)),
              driveSystem_),
      sounds_(programFolder), fileTypes_(IconCacheFolderOf(programFolder)), prompter_(nullptr),
      state_(programFolder, {prompter_, drives_, shell_, sounds_, fileTypes_, images_}) {}

} // namespace kestro
