#include "settings/CatalogPath.h"

#include <gtest/gtest.h>

using kestro::ResolveCatalogPath;

TEST(CatalogPath, RelativeFromTheProgramFolderAbsoluteAsWrittenEmptyIsTheDefault) {
    const QString folder = "/opt/kestro";
    EXPECT_EQ(ResolveCatalogPath("cats/home.mdb", folder), "/opt/kestro/cats/home.mdb");
    EXPECT_EQ(ResolveCatalogPath("  home.mdb \t", folder + "/"), "/opt/kestro/home.mdb");
    EXPECT_EQ(ResolveCatalogPath("D:\\x.mdb", folder), "/opt/kestro/D:\\x.mdb"); // no drives here
    EXPECT_EQ(ResolveCatalogPath("/home/alice/x.mdb", folder), "/home/alice/x.mdb");
    EXPECT_EQ(ResolveCatalogPath("//server/share/x.mdb", folder), "//server/share/x.mdb");
    EXPECT_EQ(ResolveCatalogPath(" postgresql://ann@db:5432/media", folder),
              "postgresql://ann@db:5432/media");
    EXPECT_EQ(ResolveCatalogPath("   ", folder), "/opt/kestro/default.mdb");
    EXPECT_EQ(ResolveCatalogPath(QString::fromLatin1("\0/x.mdb", 7), folder),
              "/opt/kestro/default.mdb");
    EXPECT_EQ(ResolveCatalogPath(QString::fromLatin1("/x.mdb\0junk", 11), folder), "/x.mdb");
}
