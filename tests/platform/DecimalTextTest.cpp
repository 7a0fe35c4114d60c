#include "platform/DecimalText.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using kestro::DecimalText;

TEST(DecimalText, ShortestPlainFormThatReadsBackTheSameNumber) {
    EXPECT_EQ(DecimalText(115), "115");
    EXPECT_EQ(DecimalText(1.5), "1.5");
    EXPECT_EQ(DecimalText(1457664.0), "1457664");
    EXPECT_EQ(DecimalText(-0.0), "0");
    EXPECT_EQ(DecimalText(1e20), "100000000000000000000");
    EXPECT_EQ(DecimalText(0.000001), "0.000001");
    EXPECT_EQ(DecimalText(1e21), "1e+21"); // extreme magnitudes take an exponent
    EXPECT_EQ(DecimalText(1e-7), "1e-07");
    QRandomGenerator random(42);
    for (int i = 0; i < 20000; ++i) {
        const double value =
            (random.generateDouble() - 0.5) * std::pow(10.0, random.bounded(-12, 25));
        EXPECT_EQ(DecimalText(value).toDouble(), value) << DecimalText(value).toStdString();
    }
}
