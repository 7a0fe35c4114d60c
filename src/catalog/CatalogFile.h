#pragma once

#include "catalog/Catalog.h"

#include <QString>
#include <functional>

namespace kestro {

// What the user is told when no catalog can be had at start.
inline const QString kNoValidFileMessage =
    QStringLiteral("No valid file to load... Quitting Kestro Pro.");

// True when `path` is a regular file this process can open for reading: the
// check made at start before the stored catalog becomes current.
bool probeCatalogFile(const QString& path);

// Makes a new catalog at `target` as a byte copy of the template, copied in
// blocks of 32,000 bytes with `afterBlock` called after each. The copy goes
// to a temporary file beside the target and is renamed into place only when
// complete, so a failed copy never destroys an existing file of that name.
// Throws CatalogError with a message naming the file that failed.
void createCatalogFromTemplate(const QString& templatePath, const QString& target,
                               const std::function<void()>& afterBlock = {});

// Sweeps the catalog (see ConsistencySweep.h) and rebuilds its file to give
// back unused space, then builds its name index afresh. The rebuild is one
// transaction in place: on any failure the file stays exactly as it was.
// Throws CatalogError.
void compactCatalog(const Catalog& catalog);

} // namespace kestro
