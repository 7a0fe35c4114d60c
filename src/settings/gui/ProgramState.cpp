#include "settings/gui/ProgramState.h"

#include "platform/ProgramFolder.h"
#include "platform/gui/SoundPlayer.h"

namespace kestro {

ProgramState::ProgramState(QString programFolder, Services services)
    : prompter(services.prompter), drives(services.drives), shell(services.shell),
      sounds(services.sounds), fileTypes(services.fileTypes), images(services.images),
      programFolder_(std::move(programFolder)), settings_(programFolder_) {
    environment.lastLoadedFile = programFile(ProgramFolder::kDefaultCatalogName);
    setOptions(options_);
}

QString ProgramState::programFile(const QString& name) const {
    return ProgramFolder::file(programFolder_, name);
}

void ProgramState::setOptions(const Options& options) {
    options_ = options;
    sounds.setEnabled(options_.oSounds != 0);
}

Catalog ProgramState::catalog() const {
    return Catalog(environment.lastLoadedFile, openModeFor(options_.oNetworkShared));
}

} // namespace kestro
