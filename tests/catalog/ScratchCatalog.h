#pragma once

#include "catalog/Catalog.h"
#include "catalog/HostedCatalog.h"
#include "support/PrivatePostgres.h"
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

// Where a catalog is kept: the tests of what every catalog does run on both.
enum class Engine { File, Server };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::File ? "File" : "Server";
}

// A fresh empty catalog: a file in a temporary folder, or a new database on
// the test program's private server.
inline QString newCatalog(Engine engine, const QTemporaryDir& dir) {
    if (engine == Engine::File)
        return makeCatalogFile(dir.filePath("c.mdb"));
    const QString uri = PrivatePostgres::instance().createDatabase();
    createHostedCatalog(uri);
    return uri;
}

// Tests of a fresh catalog, made once on each engine.
class OnEachEngine : public ::testing::TestWithParam<Engine> {
protected:
    QTemporaryDir dir;
    QString location = newCatalog(GetParam(), dir);
    Database db = Catalog(location, OpenMode::SharedReadWrite).open();
};

} // namespace kestro::test
