#pragma once

#include "catalog/Catalog.h"
#include "support/CatalogEngines.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestro::test {

// A fresh catalog in a temporary folder, open for reading and writing.
struct ScratchCatalog {
    QTemporaryDir dir;
    QString path = makeCatalogFile(dir.filePath("c.mdb"));
    Database db = Catalog(path, OpenMode::SharedReadWrite).open();
};

// Tests of a fresh catalog, made once on each engine.
class OnEachEngine : public ::testing::TestWithParam<Engine> {
protected:
    QTemporaryDir dir;
    QString location = newCatalog(GetParam(), dir);
    Database db = Catalog(location, OpenMode::SharedReadWrite).open();
};

} // namespace kestro::test
