#pragma once

#include <QString>

namespace kestro {

// The one folder that holds everything the program keeps beside itself: the
// settings file, the default catalog, the catalog template, the listing files,
// the icon cache, sounds and help.
//
// A folder whose executable sits beside a writable "new.kst" is portable (a
// build tree is); otherwise the program lives in the per-user data folder,
// which is created and seeded from the installed share folder at first start.
class ProgramFolder {
public:
    // Names of the files the folder is known by.
    static constexpr const char* kTemplateName = "new.kst";
    static constexpr const char* kDefaultCatalogName = "default.mdb";

    // Resolves the folder for an executable living in `executableDir`, with
    // the installed share folder `shareDir` as seed. Never returns an empty
    // path: when nothing can be created the per-user path is returned anyway
    // and later operations report what fails.
    static QString resolve(const QString& executableDir, const QString& shareDir);

    // The per-user data folder (XDG_DATA_HOME/kestro, ~/.local/share/kestro).
    static QString perUserFolder();

    // Copies what a first start needs into `folder` when it is missing there:
    // the template from `shareDir` (when given), help and sounds found beside
    // it, and "default.mdb" as a copy of the template. Existing files are
    // never replaced. Returns false when the folder still lacks the template.
    static bool seed(const QString& folder, const QString& shareDir);

    // `folder` + "/" + `name`, with no doubled separator.
    static QString file(const QString& folder, const QString& name);
};

} // namespace kestro
