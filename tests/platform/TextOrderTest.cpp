#include "platform/TextOrder.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace kestro;

namespace {

std::vector<size_t> orderOf(const QStringList& texts, bool ascending) {
    return TextOrder(
        size_t(texts.size()), [&](size_t row) -> const QString& { return texts[qsizetype(row)]; },
        ascending);
}

} // namespace

TEST(TextOrderTest, LetterCaseIsIgnoredAndEqualTextsKeepTheirOrderBothWays) {
    const QStringList texts = {"b", "Ärger", "A", "a", "B", "ärger"};
    EXPECT_EQ(orderOf(texts, true), (std::vector<size_t>{2, 3, 0, 4, 1, 5}));
    EXPECT_EQ(orderOf(texts, false), (std::vector<size_t>{1, 5, 0, 4, 2, 3}));
}

TEST(TextOrderTest, SizesAndDatesSortAsTheirTexts) {
    EXPECT_EQ(orderOf({"9KB", "10KB", "1/5/98", "12/1/97"}, true),
              (std::vector<size_t>{2, 1, 3, 0})); // "/" comes before "0"
}
