#pragma once

#include "catalog/Catalog.h"
#include "settings/Options.h"
#include "settings/SettingsFile.h"

#include <QString>
#include <optional>

namespace kestro::cli {

// What every command works with: the program folder, its settings file and
// the catalog the command acts on (the current one of the settings file
// unless --catalog names another).
class CliSession {
public:
    // `home` overrides the program folder, `catalogPath` the current catalog;
    // either may be empty.
    CliSession(const QString& home, const QString& catalogPath);

    const QString& programFolder() const { return programFolder_; }
    SettingsFile& settings() { return settings_; }
    const Options& options() const { return options_; }
    const Catalog& catalog() const { return catalog_; }

private:
    QString programFolder_;
    SettingsFile settings_;
    Options options_;
    Catalog catalog_;
};

// The volume an argument names: its identifier, else the first volume of
// that name.
std::optional<QString> findVolume(const Database& db, const QString& volume);

} // namespace kestro::cli
