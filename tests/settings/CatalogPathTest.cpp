#include "settings/CatalogPath.h"

#include <gtest/gtest.h>

using kestro::ResolveCatalogPath;

TEST(CatalogPath, RelativePathsAreTakenFromTheProgramFolder) {
    EXPECT_EQ(ResolveCatalogPath("cats/home.mdb", "/opt/kestro"), "/opt/kestro/cats/home.mdb");
    EXPECT_EQ(ResolveCatalogPath("home.mdb", "/opt/kestro/"), "/opt/kestro/home.mdb");
    EXPECT_EQ(ResolveCatalogPath("  home.mdb \t", "/opt/kestro"), "/opt/kestro/home.mdb");
    // An old Windows path is no absolute path here.
    EXPECT_EQ(ResolveCatalogPath("D:\\x.mdb", "/opt/kestro"), "/opt/kestro/D:\\x.mdb");
}

TEST(CatalogPath, AbsolutePathsStayAsWritten) {
    EXPECT_EQ(ResolveCatalogPath("/home/alice/cats/home.mdb", "/opt/kestro"),
              "/home/alice/cats/home.mdb");
    EXPECT_EQ(ResolveCatalogPath("//server/share/x.mdb", "/opt/kestro"), "//server/share/x.mdb");
}

TEST(CatalogPath, EmptyOrCutAtNulMeansTheDefaultCatalog) {
    EXPECT_EQ(ResolveCatalogPath("", "/opt/kestro"), "/opt/kestro/default.mdb");
    EXPECT_EQ(ResolveCatalogPath("   ", "/opt/kestro"), "/opt/kestro/default.mdb");
    EXPECT_EQ(ResolveCatalogPath(QString::fromLatin1("\0/x.mdb", 7), "/opt/kestro"),
              "/opt/kestro/default.mdb");
    EXPECT_EQ(ResolveCatalogPath(QString::fromLatin1("/x.mdb\0garbage", 14), "/opt/kestro"),
              "/x.mdb");
}
