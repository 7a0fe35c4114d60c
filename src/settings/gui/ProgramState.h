#pragma once

#include "catalog/BackgroundNameIndexing.h"
#include "catalog/Catalog.h"
#include "settings/Environment.h"
#include "settings/Options.h"
#include "settings/SettingsFile.h"

#include <QString>

namespace kestro {

class DriveTable;
class FileTypes;
class ImageStore;
class Prompter;
class Shell;
class SoundPlayer;

// What every window of the program works with: the program folder and its
// settings file, the options and window layout read from it, the current
// catalog, and the services through which windows reach the machine and
// the user. The services are owned by whoever starts the program (the
// program itself, or a test with scripted ones); they outlive this object.
class ProgramState {
public:
    struct Services {
        Prompter& prompter;
        DriveTable& drives;
        Shell& shell;
        SoundPlayer& sounds;
        FileTypes& fileTypes;
        ImageStore& images;
    };

    ProgramState(QString programFolder, Services services);

    const QString& programFolder() const { return programFolder_; }
    // A file of the program folder: programFile("new.kst").
    QString programFile(const QString& name) const;
    SettingsFile& settingsFile() { return settings_; }

    const Options& options() const { return options_; }
    // Also switches the sound cues on or off, as oSounds says.
    void setOptions(const Options& options);
    void loadOptions() { setOptions(settings_.loadOptions()); }

    // The window layout, and in it the current catalog path
    // (environment.lastLoadedFile), which Open and New replace.
    Environment environment;

    // The current catalog, in the mode oNetworkShared selects.
    Catalog catalog() const;
    bool isReadOnly() const { return options_.oNetworkShared == 0; }

    // Indexes the names of volumes just catalogued into a hosted catalog.
    BackgroundNameIndexing nameIndexing;

    Prompter& prompter;
    DriveTable& drives;
    Shell& shell;
    SoundPlayer& sounds;
    FileTypes& fileTypes; // type names and icon keys of file names
    ImageStore& images;   // the pictures of the image keys

private:
    QString programFolder_;
    SettingsFile settings_;
    Options options_;
};

} // namespace kestro
