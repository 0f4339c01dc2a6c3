#include "evaluation/FormatFixed.h"
#include "evaluation/LimitText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace veltrano;

namespace {

struct Case {
    const char* name;
    Significand18 value;
    const char* mm;  // Mm(v), or nullptr
    const char* mm2; // Mm2(v), or nullptr
};

Significand18 dec(const char* text)
{
    // Exact decimal from a plain text such as "12.25".
    std::int64_t m = 0;
    int scale = 0;
    bool fraction = false;
    bool negative = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '-')
            negative = true;
        else if (*p == '.')
            fraction = true;
        else {
            m = m * 10 + (*p - '0');
            scale += fraction;
        }
    }
    return Significand18::fromDecimal(Decimal(negative ? -m : m, scale));
}

TEST(FormatFixed, LimitTextsRoundHalfUpToTwoOrThreeSignificantDigits)
{
    const Case cases[] = {
        {"zero", dec("0"), "0,0 mm", "0,0 mm\u00B2"},
        {"below half of the last place", dec("0.04"), "0,0 mm", "0,0 mm\u00B2"},
        {"half of the last place", dec("0.05"), "0,1 mm", "0,1 mm\u00B2"},
        {"tie 0.15", dec("0.15"), "0,2 mm", nullptr},
        {"tie 0.25", dec("0.25"), "0,3 mm", nullptr},
        {"exact 0.45 rounds up", dec("0.45"), "0,5 mm", nullptr},
        {"0.45 as a float lies below the tie", Significand18::fromFloat(0.45f), "0,4 mm", nullptr},
        {"0.35 as a float lies below the tie", Significand18::fromFloat(0.35f), "0,3 mm", nullptr},
        {"9.94", dec("9.94"), "9,9 mm", nullptr},
        {"9.95 gains an integer digit", dec("9.95"), "10,0 mm", nullptr},
        {"two digits keep a zero decimal", dec("12.25"), "12,0 mm", nullptr},
        {"12.5 rounds up", dec("12.5"), "13,0 mm", nullptr},
        {"99.4", dec("99.4"), "99,0 mm", nullptr},
        {"99.5 switches to the exponent form", dec("99.5"), "1E2 mm", nullptr},
        {"123 in the exponent form", dec("123"), "1,2E2 mm", nullptr},
        {"10.05", dec("10.05"), nullptr, "10,1 mm\u00B2"},
        {"99.95", dec("99.95"), nullptr, "100,0 mm\u00B2"},
        {"123.45", dec("123.45"), nullptr, "123,0 mm\u00B2"},
        {"999.4", dec("999.4"), nullptr, "999,0 mm\u00B2"},
        {"999.5", dec("999.5"), nullptr, "1E3 mm\u00B2"},
        {"1234", dec("1234"), nullptr, "1,23E3 mm\u00B2"},
        {"4000", dec("4000"), nullptr, "4E3 mm\u00B2"},
        {"negative keeps its sign", dec("-0.25"), "-0,3 mm", nullptr},
        {"negative rounding to zero loses its sign", dec("-0.04"), "0,0 mm", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mm) {
            EXPECT_EQ(Mm(c.value, ","), c.mm);
        }
        if (c.mm2) {
            EXPECT_EQ(Mm2(c.value, ","), c.mm2);
        }
    }
}

TEST(FormatFixed, FieldsAndOtherPrecisions)
{
    struct Row {
        double v;
        int p, d;
        const char* sep;
        const char* expected;
    } rows[] = {
        {10, 15, 2, ",", "10,00"},
        {12.5, 15, 2, ",", "12,50"},
        {1000, 15, 2, ".", "1000.00"},
        {0.5, 15, 2, ",", "0,50"},
        {123.456, 3, 0, ",", "123"},
        {0.5, 2, 0, ",", "1"}, // half up into a new integer digit
        {0.4, 2, 0, ",", "0"},
        {0.0123, 4, 3, ",", "0,012"},   // leading zeros among the decimals
        {0.0005, 4, 2, ",", "0,00"},    // fewer kept digits than zero places: zero
        {123456, 3, 2, ",", "1,23E05"}, // exponent padded to d digits
        {1234567, 2, 0, ",", "1,2E6"},
        {5e7, 2, 6, ",", "5E7"},                          // d > 4 pads to one digit only
        {0.25, 1, 1, ",", "0,3"},                         // p below 2 counts as 2
        {1.0 / 3.0, 30, 20, ",", "0,333333333333333315"}, // p and d above 18 count as 18
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.v) + " p=" + std::to_string(r.p) + " d=" + std::to_string(r.d));
        EXPECT_EQ(FormatFixed(r.v, r.p, r.d, r.sep), r.expected);
    }
}

TEST(FormatFixed, EveryPrecisionAndDecimalCountAgreesWithRoundingTheExactValue)
{
    // 2.675 has an exact decimal here; round it half up by hand for every p, d.
    const Significand18 v = dec("2.675");
    for (int p = 2; p <= 18; ++p) {
        for (int d = 0; d <= 18; ++d) {
            const int keep = std::min(1 + d, p); // significant digits kept
            std::string expected;
            if (keep == 1)
                expected = "3";
            else if (keep == 2)
                expected = "2,7";
            else if (keep == 3)
                expected = "2,68";
            else
                expected = "2,675";
            // Fixed form pads with zeros up to d decimals.
            const auto comma = expected.find(',');
            const int decimals = comma == std::string::npos ? 0 : static_cast<int>(expected.size() - comma - 1);
            if (d > 0 && comma == std::string::npos)
                expected += ',';
            expected.append(static_cast<std::size_t>(std::max(0, d - decimals)), '0');
            SCOPED_TRACE("p=" + std::to_string(p) + " d=" + std::to_string(d));
            EXPECT_EQ(FormatFixed(v, p, d, ","), expected);
        }
    }
}

TEST(FormatFixed, SeparatorIsTheCallersText)
{
    EXPECT_EQ(FormatFixed(2.25, 2, 1, "."), "2.3");
    EXPECT_EQ(FormatFixed(2.25, 2, 1, "\u066B"), "2\u066B3");
}

TEST(LimitText, ZulaessigTestLowersOnlyAsciiCapitals)
{
    EXPECT_TRUE(containsZulaessig("nicht zul\u00E4ssig"));
    EXPECT_TRUE(containsZulaessig("Zul\u00E4ssig, wenn ..."));
    EXPECT_TRUE(containsZulaessig("NICHT ZUL\u00E4SSIG"));
    EXPECT_FALSE(containsZulaessig("ZUL\u00C4SSIG"));
    EXPECT_FALSE(containsZulaessig("h \u2264 0,05 t, max. 0,5 mm"));
    EXPECT_FALSE(containsZulaessig(""));
}

} // namespace
