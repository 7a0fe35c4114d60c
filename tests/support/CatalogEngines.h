#pragma once

#include "catalog/HostedCatalog.h"
#include "support/PrivatePostgres.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestro::test {

// Where a catalog is kept: the tests of what every catalog does run on both.
enum class Engine { File, Server };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::File ? "File" : "Server";
}

inline const auto kEachEngine = ::testing::Values(Engine::File, Engine::Server);

// A fresh empty catalog: a file in `dir`, or a new database on the test
// program's private server.
inline QString newCatalog(Engine engine, const QTemporaryDir& dir) {
    if (engine == Engine::File)
        return makeCatalogFile(dir.filePath("c.mdb"));
    const QString uri = PrivatePostgres::instance().createDatabase();
    createHostedCatalog(uri);
    return uri;
}

} // namespace kestro::test
