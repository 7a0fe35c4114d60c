#pragma once

#include "catalog/Catalog.h"
#include "platform/FileTypes.h"
#include "support/CatalogBuilder.h"
#include "support/CatalogEngines.h"
#include "support/FileTree.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestro::test {

// A local time on a day of 1998 or 1999.
inline QDateTime at(int year, int month, int day, int hour, int minute) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

// A program folder with a catalog, and folders to catalog into it as volumes.
template <typename Base> class CatalogFixtureOn : public Base {
protected:
    QTemporaryDir home, volumes;
    QString catalogPath = makeCatalog();

    Catalog catalog() const { return Catalog(catalogPath, OpenMode::SharedReadWrite); }
    Database db() const { return catalog().open(); }

    // The folder of a volume to be, made on first use.
    QString folder(const QString& name) const {
        QDir(volumes.path()).mkpath(name);
        return volumes.filePath(name);
    }
    // Catalogs the folder as a new volume; returns its tablename. Tests take
    // letters from the end of the alphabet: mounted file systems are given
    // theirs from D: on, and mounts of other tests come and go.
    QString catalogAs(const QString& folderName, const QString& volumeName, QChar letter = 'Z') {
        return catalogFolder(home.path(), catalogPath, folder(folderName), volumeName, letter);
    }
    void describe(const QString& tablename, const char* table, const QString& name,
                  const QString& description) const {
        db().execute("UPDATE " + quoteIdentifier(tablename + "_" + table) +
                         " SET thedescription = ?1 WHERE name = ?2",
                     description, name);
    }

    QString makeCatalog() const {
        if constexpr (std::is_base_of_v<::testing::WithParamInterface<Engine>, Base>)
            return newCatalog(Base::GetParam(), home);
        else
            return makeCatalogFile(home.filePath("c.mdb"));
    }

    // The file types of an icon cache that holds a picture for ".txt" only.
    static const FileTypes& fileTypes() {
        static QTemporaryDir cache;
        static const FileTypes types = [] {
            QFile(cache.filePath("ktxt.bmp")).open(QIODevice::WriteOnly);
            return FileTypes(cache.path());
        }();
        return types;
    }
};

// The fixture on a catalog file.
using CatalogFixture = CatalogFixtureOn<::testing::Test>;
// The fixture on a catalog file and on a hosted catalog in turn.
using CatalogFixtureOnEachEngine = CatalogFixtureOn<::testing::TestWithParam<Engine>>;

} // namespace kestro::test
