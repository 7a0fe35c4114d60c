#include "cataloguing/ListingText.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

struct Listed {
    std::string text;
    bool substituted;
};

Listed listed(std::string_view name) {
    std::string out = "prefix:";
    const bool substituted = appendListingName(out, name);
    return {out.substr(7), substituted};
}

TEST(ListingName, KeepsEveryValidNameAsItIs) {
    for (const std::string_view name :
         {"plain.txt", ".hidden", "Tom's \"best\" 100% a_b [1] (2).doc", " tab\there ",
          "Größe – naïve café", "日本語のファイル", "Привет",
          "emoji 😀 U+10FFFF \xF4\x8F\xBF\xBF"}) {
        const Listed result = listed(name);
        EXPECT_EQ(result.text, name);
        EXPECT_FALSE(result.substituted) << name;
    }
}

TEST(ListingName, ReplacesLineEndsAndTheCatalogPathSeparatorWithLookAlikes) {
    const Listed result = listed("one\r\ntwo\nthree\\four");
    EXPECT_EQ(result.text, "one\u240D\u240Atwo\u240Athree\uFF3Cfour");
    EXPECT_TRUE(result.substituted);
}

TEST(ListingName, ReplacesEachInvalidRunWithOneReplacementCharacter) {
    const struct {
        std::string_view name;
        std::string_view expected;
    } cases[] = {
        {"sep\xFEsep", "sep\uFFFDsep"}, // the field separator
        {"latin1 caf\xE9.txt", "latin1 caf\uFFFD.txt"},
        {"cut \xE2\x82", "cut \uFFFD"},   // sequence cut off at the end
        {"cut \xE2\x82x", "cut \uFFFDx"}, // ... and in the middle
        {"overlong \xC0\xAF", "overlong \uFFFD\uFFFD"},
        {"surrogate \xED\xA0\x80", "surrogate \uFFFD\uFFFD\uFFFD"},
        {"too high \xF4\x90\x80\x80", "too high \uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\x80\xBF lone continuations", "\uFFFD\uFFFD lone continuations"},
    };
    for (const auto& c : cases) {
        const Listed result = listed(c.name);
        EXPECT_EQ(result.text, c.expected) << c.name;
        EXPECT_TRUE(result.substituted) << c.name;
        EXPECT_EQ(result.text.find('\xFE'), std::string::npos);
    }
}

} // namespace
} // namespace kestro
