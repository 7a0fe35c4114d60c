#pragma once

#include "platform/IniFile.h"
#include "settings/Environment.h"
#include "settings/Options.h"

#include <QString>

namespace kestro {

// The settings file Kestro.ini in the program folder: the options and the
// window layout. A missing file, section or key gives the key's default; a
// value that cannot be read as its key's kind gives the default too. Each
// save writes all its keys in one atomic rewrite and keeps every other line
// of the file; it returns false when the file cannot be written.
class SettingsFile {
  public:
    explicit SettingsFile(QString programFolder);

    // <program folder>/Kestro.ini
    QString path() const { return ini_.path(); }

    Options loadOptions() const;
    bool saveOptions(const Options& options);

    // The main window's layout and the catalog to open, its path resolved
    // against the program folder (ResolveCatalogPath).
    Environment loadEnvironment() const;
    // Writes the catalog path trimmed; window values that are not set are
    // left in the file as they are.
    bool saveEnvironment(const Environment& environment);

    SearchPlacement loadSearchPlacement() const;
    bool saveSearchPlacement(const SearchPlacement& placement);

  private:
    QString programFolder_;
    IniFile ini_;
};

} // namespace kestro
