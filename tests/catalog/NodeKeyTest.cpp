#include "catalog/NodeKey.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(NodeKey, KeysAreBuiltFromTablenameAndPath) {
    EXPECT_EQ(RootKey(), "~");
    EXPECT_EQ(CategoryKey("3"), "`3");
    EXPECT_EQ(VolumeKey("1234567", "D:"), "1234567_D:");
    EXPECT_EQ(FolderKey("1234567", "D:", "GAMES"), "1234567_D:\\GAMES");
    // The same name in two places gives two keys.
    EXPECT_NE(FolderKey("1234567", "D:", "GAMES"), FolderKey("1234567", "D:\\OLD", "GAMES"));
}

TEST(NodeKey, TheKindComesFromTheKeyAlone) {
    EXPECT_EQ(KindOfKey(u"~"), NodeKind::Root);
    EXPECT_EQ(KindOfKey(u"`12"), NodeKind::Category);
    EXPECT_EQ(KindOfKey(u"1234567_D:"), NodeKind::Volume);
    EXPECT_EQ(KindOfKey(u"1234567_D:\\GAMES"), NodeKind::Folder);
    // A folder whose name ends in a colon is still a folder, wherever it is.
    EXPECT_EQ(KindOfKey(u"1234567_D:\\x:"), NodeKind::Folder);
    EXPECT_EQ(KindOfKey(u"1234567_D:\\GAMES\\a:"), NodeKind::Folder);
}

TEST(NodeKey, ThePathIsWhatFollowsTheTablename) {
    EXPECT_EQ(NodePathOf(u"1234567_D:"), "D:");
    EXPECT_EQ(NodePathOf(u"1234567_D:\\MY_GAMES\\x"), "D:\\MY_GAMES\\x");
    EXPECT_EQ(NodePathOf(u"nounderscore"), "");
}
