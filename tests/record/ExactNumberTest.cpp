// Measured values are the exact decimals they spell, whatever the separator
// or the exponent, and compare without binary rounding.
#include "record/ExactNumber.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using veltrano::record::ExactNumber;

TEST(ExactNumber, ReadsWhatTheTextSpells)
{
    struct Case {
        const char* text;
        bool exponentAllowed;
        const char* value; // nullptr: refused
    };
    const Case cases[] = {
        {"0.33", false, "0.33"},
        {"0,33", false, "0.33"},
        {"0.330", false, "0.33"},
        {"3.3e-1", true, "0.33"},
        {"33E-2", true, "0.33"},
        {"1e2", true, "100"},
        {"007.50", false, "7.5"},
        {"-0", false, "0"},
        {"-1.5", false, "-1.5"},
        {"0.1000000000000000000000001", false, "0.1000000000000000000000001"},
        {"3.3e-1", false, nullptr},
        {".5", false, nullptr},
        {"5.", false, nullptr},
        {"1,2,3", false, nullptr},
        {"1e", true, nullptr},
        {"", false, nullptr},
        {"+1", false, nullptr},
        {" 1", false, nullptr},
        {"1 mm", false, nullptr},
        // Every valid JSON number exactly: a tiny one, zero with any exponent,
        // a large one; only an exponent above 1000 of a number not zero is
        // refused, and its digits are never made.
        {"0e999", true, "0"},
        {"-0.0E+99999999999999999999", true, "0"},
        {"1e0000000000000000000002", true, "100"},
        {"1e999", true, nullptr /* checked below */},
        {"1e1001", true, nullptr},
        {"1e-99999999999999999999", true, nullptr},
    };
    for (const Case& c : cases) {
        const auto n = ExactNumber::parse(c.text, c.exponentAllowed);
        if (std::string_view(c.text) == "1e999") {
            ASSERT_TRUE(n);
            EXPECT_EQ(n->text(), "1" + std::string(999, '0'));
            continue;
        }
        if (!c.value) {
            EXPECT_FALSE(n) << c.text;
            continue;
        }
        ASSERT_TRUE(n) << c.text;
        EXPECT_EQ(n->text(), c.value) << c.text;
    }
    EXPECT_EQ(ExactNumber::parse("1e-401", true)->text(), "0." + std::string(400, '0') + "1");
    bool tooLarge = false;
    EXPECT_FALSE(ExactNumber::parse("1e1001", true, &tooLarge));
    EXPECT_TRUE(tooLarge);
    EXPECT_FALSE(ExactNumber::parse("1x", true, &tooLarge));
    EXPECT_FALSE(tooLarge);
    EXPECT_EQ(ExactNumber::parse("0.05")->text(","), "0,05");
    EXPECT_EQ(ExactNumber::parse("3.30")->decimals(), 1);
}

TEST(ExactNumber, ComparesExactly)
{
    auto n = [](const char* s) { return *ExactNumber::parse(s, true); };
    EXPECT_EQ(compare(n("0.33"), n("0,330")), 0);
    EXPECT_LT(compare(n("0.33"), n("0.3300000000000000000001")), 0);
    EXPECT_GT(compare(n("10"), n("9.99")), 0);
    EXPECT_LT(compare(n("0.05"), n("0.5")), 0);
    EXPECT_LT(compare(n("0"), n("0.001")), 0);
    EXPECT_LT(compare(n("-2"), n("-1.5")), 0);
    EXPECT_GT(compare(n("123"), n("99.999")), 0);
    EXPECT_EQ(compare(n("1e2"), n("100.0")), 0);
}
