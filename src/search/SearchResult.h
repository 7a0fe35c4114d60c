#pragma once

#include "search/SearchScope.h"

#include <QString>

namespace kestro {

// One row of the search window's result list, with what the list shows in
// its columns.
struct SearchResult {
    TableKind kind = TableKind::Files;
    QString name;        // Filename
    QString type;        // Type: the file type's description, or "(File Folder)"
    QString iconKey;     // the small picture: the file's icon key, or "closed"
    QString volume;      // Volume: the volume's entry text in the list
    QString tablename;   // the volume's identifier
    QString location;    // Location: the parent folder ("D:\GAMES"); empty for a root
    QString size;        // Size: the size text as stored
    QString modified;    // Modified: the date text by the date display rule
    QString description; // Description: null when the row has none
    QString date;        // the date text as stored, for exports
};

// The Type and icon key every folder row carries.
inline const QString kFolderTypeName = QStringLiteral("(File Folder)");
inline const QString kFolderIconKey = QStringLiteral("closed");

} // namespace kestro
