#pragma once

#include <QString>
#include <QtGlobal>

namespace kestro {

// The user's choices from the Options dialog (section "Options" of the
// settings file), with their defaults. Flags are 0 or 1.
struct Options {
    qint16 oStartupMode = 0;      // open the search window at start-up
    qint16 oSmartCaps = 0;        // show names with smart capitalisation
    QString oStartupDrive = "C:"; // drive preselected for cataloguing, as stored
    qint16 oClearDesc = 0;        // clear existing descriptions when cataloguing
    qint16 oSearchFiles = 1;      // search file names by default
    qint16 oSearchDirs = 1;       // search folder names by default
    qint16 oEjectMedia = 1;       // eject the medium after cataloguing
    qint16 oNetworkShared = 1;    // 1: open catalogs shared and writable; 0: read-only
    qint16 oDateFormat = 0;       // show and enter dates day first
    qint16 oSounds = 1;           // play sound cues
    qint16 oSearchAsYouType = 0;  // the find tool searches as "Named:" is typed

    bool operator==(const Options&) const = default;
};

} // namespace kestro
