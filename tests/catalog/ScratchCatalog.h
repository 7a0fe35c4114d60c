#pragma once

#include "catalog/Catalog.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

namespace kestro::test {

// A fresh catalog in a temporary folder, open for reading and writing.
struct ScratchCatalog {
    QTemporaryDir dir;
    QString path = makeCatalogFile(dir.filePath("c.mdb"));
    Database db = Catalog(path, OpenMode::SharedReadWrite).open();
};

} // namespace kestro::test
