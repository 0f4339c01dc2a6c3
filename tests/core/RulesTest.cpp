// The rule tables of levels B, C and D, checked on welds whose limits an
// inspector can work out by hand, and on the shape of the tables themselves.
#include "evaluation/Rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace veltrano;

namespace {

constexpr int kButt = 0;
constexpr int kFillet = 1;
constexpr int kNoSeam = -1;

struct Weld {
    float t = 10, l = 100, b = 12, bw = 2;
    int seam = kButt;
    bool welderTest = false, railBridge = false;

    WeldInput input() const
    {
        WeldInput w;
        w.t = t;
        w.l = l;
        w.b = b;
        w.bw = bw;
        w.seamType = seam;
        w.welderTest = welderTest;
        w.railBridge = railBridge;
        return w;
    }
};

Weld butt(float t)
{
    return Weld{t, 100, 12, 2, kButt};
}
Weld fillet(float t)
{
    return Weld{t, 100, 7, 2, kFillet};
}
Weld with(Weld w, bool welderTest, bool railBridge = false)
{
    w.welderTest = welderTest;
    w.railBridge = railBridge;
    return w;
}
Weld widths(Weld w, float b, float bw)
{
    w.b = b;
    w.bw = bw;
    return w;
}
Weld area(Weld w, float l, float b)
{
    w.l = l;
    w.b = b;
    return w;
}
Weld seam(Weld w, int s)
{
    w.seam = s;
    return w;
}

std::string evaluate(QualityLevel level, int rec, const Weld& w)
{
    return rules::text(rules::evaluate(level, rec, w.input()), "<Katalogtext>", ",");
}

struct Case {
    const char* why;
    QualityLevel level;
    int rec;
    Weld weld;
    const char* expected;
};

constexpr auto B = QualityLevel::B;
constexpr auto C = QualityLevel::C;
constexpr auto D = QualityLevel::D;
const char* const NA = "nicht zutreffend";
const char* const NP = "nicht zul\u00E4ssig";

TEST(Rules, HandWorkedWelds)
{
    const Case cases[] = {
        // Level B
        {"t = 3 lies on the thin side", B, 15, butt(3), NA},
        {"just above the threshold", B, 15, butt(3.5f), "0,2 mm"},
        {"0.45 as a float is below the tie", B, 15, butt(9), "0,4 mm"},
        {"capped value equal to its cap", B, 15, butt(10), "0,5 mm"},
        {"cut to the cap", B, 15, butt(12), "0,5 mm"},
        {"capped float rounding", B, 81, butt(4.5f), "0,4 mm"},
        {"uncapped tie rounds up", B, 80, butt(2.5f), "0,5 mm"},
        {"uncapped 1.15", B, 18, widths(butt(3), 12, 1.5f), "1,2 mm"},
        {"uncapped 1.45 with the welder test", B, 18, with(widths(butt(3), 12, 1.5f), true), "1,5 mm"},
        {"half up 2.25", B, 26, fillet(5), "2,3 mm"},
        {"half up 0.25", B, 82, butt(0.5f), "0,3 mm"},
        {"two significant digits", B, 87, butt(62.5f), "13,0 mm"},
        {"reinforcement", B, 16, butt(10), "2,2 mm"},
        {"reinforcement, welder test", B, 16, with(butt(10), true), "2,8 mm"},
        {"reinforcement at its cap", B, 16, widths(butt(10), 40, 2), "5,0 mm"},
        {"reinforcement above its cap", B, 16, widths(butt(10), 45, 2), "5,0 mm"},
        {"reinforcement above its cap, welder test", B, 16, with(widths(butt(10), 45, 2), true), "7,0 mm"},
        {"root reinforcement", B, 19, butt(10), "1,4 mm"},
        {"root reinforcement capped", B, 19, widths(butt(10), 12, 50), "3,0 mm"},
        {"root reinforcement capped, welder test", B, 19, with(widths(butt(10), 12, 5), true), "4,0 mm"},
        {"root notch ignores the seam", B, 13, seam(butt(4), kFillet), "0,2 mm"},
        {"root notch, welder test", B, 13, with(butt(4), true), "0,5 mm"},
        {"root notch, railway bridge", B, 13, with(butt(4), false, true), NP},
        {"root notch, thin, welder test", B, 13, with(butt(3), true), NA},
        {"multiple imperfections, thin", B, 86, butt(3), NP},
        {"multiple imperfections, thick", B, 86, butt(3.5f), NA},
        {"multiple imperfections, railway bridge", B, 86, with(butt(10), false, true), NP},
        {"pores area", B, 38, area(butt(10), 100, 12), "12,0 mm\u00B2"},
        {"area of three digits", B, 43, area(butt(10), 999, 25), "999,0 mm\u00B2"},
        {"area in the exponent form", B, 43, area(butt(10), 1000, 30), "1,2E3 mm\u00B2"},
        {"area 4000", B, 43, area(butt(10), 1000, 100), "4E3 mm\u00B2"},
        {"t times l", B, 89, butt(10), "40,0 mm\u00B2"},
        {"smallest t times l", B, 89, area(butt(0.5f), 1, 12), "0,0 mm\u00B2"},
        {"no seam: seam rule", B, 41, seam(butt(10), kNoSeam), NA},
        {"no seam: seam-free rule", B, 47, seam(butt(10), kNoSeam), "48,0 mm\u00B2"},
        {"no rule at B", B, 5, butt(10), ""},
        {"catalogue text for a butt weld", B, 20, butt(10), "<Katalogtext>"},
        {"railway bridge before the seam", B, 83, with(fillet(5), false, true), NP},
        // Level C
        {"thin side includes 3", C, 12, butt(3), "0,3 mm"},
        {"thin side includes 3, fillet", C, 12, fillet(3), "0,3 mm"},
        {"surface pore fillet t = 3", C, 4, fillet(3), NA},
        {"equal to the cap", C, 4, fillet(10), "2,0 mm"},
        {"above the cap", C, 4, fillet(25), "2,0 mm"},
        {"reinforcement cap", C, 16, widths(butt(10), 100, 2), "7,0 mm"},
        {"uncapped 1.35", C, 87, butt(4.5f), "1,4 mm"},
        {"uncapped 3.05", C, 26, fillet(7), "3,1 mm"},
        {"capped float 0.45", C, 8, butt(4.5f), "0,4 mm"},
        {"13.5 keeps two digits", C, 87, butt(45), "14,0 mm"},
        {"10.05 keeps two digits", C, 87, butt(33.5f), "10,0 mm"},
        {"multiple imperfections thin", C, 86, fillet(3), NP},
        {"multiple imperfections thick", C, 86, fillet(3.5f), NA},
        {"t times l", C, 89, butt(10), "80,0 mm\u00B2"},
        {"area 8000", C, 43, area(butt(10), 1000, 100), "8E3 mm\u00B2"},
        {"butt example 6", C, 6, butt(10), "2,0 mm"},
        {"butt example 8", C, 8, butt(10), "1,0 mm"},
        {"butt example 13", C, 13, butt(10), "0,5 mm"},
        {"butt example 16", C, 16, butt(10), "2,8 mm"},
        {"butt example 19", C, 19, butt(10), "2,2 mm"},
        {"butt example 38", C, 38, butt(10), "18,0 mm\u00B2"},
        {"butt example 44", C, 44, butt(10), "3,0 mm"},
        {"butt example 81", C, 81, butt(10), "1,5 mm"},
        {"butt example 82", C, 82, butt(10), "3,0 mm"},
        {"butt example 87", C, 87, butt(10), "3,0 mm"},
        {"butt example fillet rule", C, 17, butt(10), NA},
        {"fillet example 4", C, 4, fillet(5), "1,0 mm"},
        {"fillet example 17", C, 17, fillet(5), "2,0 mm"},
        {"fillet example 26", C, 26, fillet(5), "2,8 mm"},
        {"fillet example 32", C, 32, fillet(5), "0,8 mm"},
        {"fillet example 33", C, 33, fillet(5), "2,0 mm"},
        {"fillet example 85", C, 85, fillet(5), "1,5 mm"},
        {"fillet example 88", C, 88, fillet(5), "1,0 mm"},
        {"no seam", C, 77, seam(butt(10), kNoSeam), NA},
        {"C ignores the welder test", C, 16, with(butt(10), true, true), "2,8 mm"},
        {"no rule at C", C, 1, butt(10), ""},
        // Level D
        {"no rule for cracks", D, 1, butt(10), ""},
        {"no rule for lack of fusion", D, 9, butt(10), ""},
        {"thin side includes 3", D, 3, fillet(3), "0,9 mm"},
        {"t = 3 is not thick", D, 4, fillet(3), NA},
        {"multiple imperfections t = 3", D, 86, butt(3), NP},
        {"multiple imperfections t = 3.5", D, 86, fillet(3.5f), NA},
        {"uncapped 0.45", D, 5, butt(1.5f), "0,5 mm"},
        {"uncapped 0.95", D, 80, butt(3), "1,0 mm"},
        {"capped float 1.05", D, 6, butt(3.5f), "1,0 mm"},
        {"cut to the cap", D, 44, butt(12), "4,0 mm"},
        {"equal to the cap", D, 44, butt(10), "4,0 mm"},
        {"below the cap", D, 44, butt(5), "2,0 mm"},
        {"seam pair", D, 44, fillet(5), NA},
        {"seam pair", D, 45, butt(5), NA},
        {"fillet lack of penetration", D, 76, butt(5), NA},
        {"butt lack of penetration", D, 79, fillet(5), NA},
        {"no thickness or seam test", D, 11, fillet(20), "2,0 mm"},
        {"area", D, 38, area(butt(10), 100, 12), "30,0 mm\u00B2"},
        {"area", D, 43, area(butt(10), 100, 12), "192,0 mm\u00B2"},
        {"t times l", D, 89, butt(10), "160,0 mm\u00B2"},
        {"area in the exponent form", D, 38, area(butt(10), 1000, 100), "2,5E3 mm\u00B2"},
        {"catalogue text always", D, 30, fillet(5), "<Katalogtext>"},
        {"catalogue text for fillet welds only", D, 21, butt(5), NA},
        {"root reinforcement bw + 1", D, 19, widths(butt(10), 12, 2.5f), "3,5 mm"},
        {"no seam", D, 20, seam(butt(10), kNoSeam), NA},
        // Records beyond the table
        {"record 90 has no rule", B, 90, butt(10), ""},
        {"record 0 has no rule", C, 0, butt(10), ""},
        {"negative record", D, -5, butt(10), ""},
        {"far beyond the cache", C, 1000, butt(10), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.why) + ", record " + std::to_string(c.rec) + " level " +
                     std::to_string(static_cast<int>(c.level)));
        EXPECT_EQ(evaluate(c.level, c.rec, c.weld), c.expected);
    }
}

TEST(Rules, EveryLevelNamesEachRecordOnceAndNothingBeyond89)
{
    for (QualityLevel level : {B, C, D}) {
        std::map<int, int> seen;
        for (const rules::RuleRow& row : rules::table(level)) {
            ASSERT_GT(row.recordCount, 0);
            ASSERT_GT(row.rule.stepCount, 0);
            for (int i = 0; i < row.recordCount; ++i)
                ++seen[row.records[static_cast<std::size_t>(i)]];
            // The last step of every rule is unconditional: no weld falls through.
            EXPECT_EQ(row.rule.steps[static_cast<std::size_t>(row.rule.stepCount - 1)].when, rules::otherwise);
        }
        for (int rec = 1; rec <= 89; ++rec)
            EXPECT_EQ(seen[rec], 1) << "record " << rec << " at level " << static_cast<int>(level);
        EXPECT_EQ(seen.size(), 89u) << "level " << static_cast<int>(level);
    }
}

TEST(Rules, OnlyLevelBReadsTheOptions)
{
    for (QualityLevel level : {C, D}) {
        for (const rules::RuleRow& row : rules::table(level)) {
            for (int i = 0; i < row.rule.stepCount; ++i)
                EXPECT_EQ(row.rule.steps[static_cast<std::size_t>(i)].when.bits &
                              (rules::kWelderTest | rules::kRailBridge),
                          0);
        }
    }
}

} // namespace
