#pragma once

#include "catalog/Database.h"

#include <QByteArray>
#include <QString>

namespace kestro {

// The message every command that would write the catalog shows in read-only
// mode, instead of doing anything.
inline const QString kReadOnlyMessage = QStringLiteral(
    "Kestro Pro is currently in READ-ONLY mode.  First switch to Network Shared mode in the "
    "options dialog...");

// A catalog file and the mode in which every operation opens it. No
// connection lives across user actions: each operation calls open(), works,
// and lets the Database go.
class Catalog {
public:
    Catalog(QString path, OpenMode mode) : path_(std::move(path)), mode_(mode) {}

    const QString& path() const { return path_; }
    OpenMode mode() const { return mode_; }
    bool isReadOnly() const { return mode_ == OpenMode::ExclusiveReadOnly; }

    // Opens the file and makes sure it is a catalog this program can use: a
    // file that is no SQLite database, is not marked as a catalog, was made by
    // a newer version, or lacks one of the fixed tables is refused with a
    // message that says which. Throws CatalogError.
    Database open() const;

    // What changes whenever a transaction is committed to the file or the
    // file is replaced: its device and inode, and the change counter SQLite
    // keeps in its header (the catalog never uses a write-ahead log, so every
    // commit counts); for a hosted catalog, its count of commits. Empty when
    // the catalog cannot be read.
    QByteArray stamp() const;

private:
    QString path_;
    OpenMode mode_;
};

} // namespace kestro
