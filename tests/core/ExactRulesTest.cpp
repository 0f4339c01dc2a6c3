// The exact reading of the rule tables that the inspection record judges by:
// the same rows as the window's texts, on dimensions as written and with the
// cap taken as the exact minimum.
#include "evaluation/FormatFixed.h"
#include "evaluation/Rules.h"

#include <gtest/gtest.h>

#include <string>

using namespace veltrano;
using namespace veltrano::literals;

namespace {

rules::ExactWeld weldOf(Decimal t, int seam = 0, bool welderTest = false, bool railBridge = false)
{
    rules::ExactWeld w;
    w.t = t;
    w.seamType = seam;
    w.welderTest = welderTest;
    w.railBridge = railBridge;
    return w;
}

std::string exact(QualityLevel level, int recNo, const rules::ExactWeld& w)
{
    const auto e = rules::evaluateExact(level, recNo, w);
    switch (e.outcome) {
    case rules::Outcome::Mm:
    case rules::Outcome::Mm2:
        return toString(e.value);
    case rules::Outcome::NotApplicable:
        return "NotApplicable";
    case rules::Outcome::NotPermitted:
        return "NotPermitted";
    case rules::Outcome::CatalogueText:
        return "CatalogueText";
    case rules::Outcome::NoResult:
        break;
    }
    return "NoResult";
}

} // namespace

TEST(ExactRules, LimitsOnDimensionsAsWritten)
{
    struct Case {
        const char* name;
        QualityLevel level;
        int recNo;
        rules::ExactWeld weld;
        const char* limit;
    };
    rules::ExactWeld rootWidth = weldOf(10);
    rootWidth.bw = 1.5_k;
    rules::ExactWeld area = weldOf(10);
    area.l = 99.99_k;
    area.b = 12.01_k;
    const Case cases[] = {
        // 3.3 is no float; 0.1 * 3.3 is exactly 0.33
        {"tenth of 3.3 mm", QualityLevel::C, 13, weldOf(3.3_k), "0.33"},
        // the window rounds 0.45 to a float below the tie; the limit itself is 0.45
        {"capped formula keeps its exact value", QualityLevel::B, 15, weldOf(9), "0.45"},
        {"cap replaces a larger value", QualityLevel::B, 15, weldOf(12), "0.5"},
        {"value equal to the cap", QualityLevel::C, 4, weldOf(10, 1), "2"},
        {"uncapped sum", QualityLevel::B, 18, weldOf(2.5_k), "1.2"},
        {"welder-test value", QualityLevel::B, 13, weldOf(4, 0, true), "0.5"},
        {"fixed cap beside welder test", QualityLevel::B, 19,
         [] {
             auto w = weldOf(10, 0, true);
             w.bw = 5;
             return w;
         }(),
         "4"},
        {"root width factor", QualityLevel::D, 18,
         [&] {
             auto w = rootWidth;
             w.t = 2;
             return w;
         }(),
         "1.9"},
        {"area of dimensions with hundredths", QualityLevel::C, 38, area, "18.0131985"},
        {"three-term product left to right", QualityLevel::D, 89, weldOf(2.25_k), "36"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exact(c.level, c.recNo, c.weld), c.limit) << c.name;
}

TEST(ExactRules, ThicknessTestOnTheExactValue)
{
    // 3.00 lies on the thin side, 3.01 on the thick one
    EXPECT_EQ(exact(QualityLevel::C, 12, weldOf(3)), "0.3");
    EXPECT_EQ(exact(QualityLevel::C, 12, weldOf(3.01_k)), "NotApplicable");
    EXPECT_EQ(exact(QualityLevel::C, 13, weldOf(3.01_k)), "0.301");
    EXPECT_EQ(exact(QualityLevel::C, 13, weldOf(3)), "NotApplicable");
    EXPECT_EQ(exact(QualityLevel::B, 86, weldOf(3)), "NotPermitted");
    EXPECT_EQ(exact(QualityLevel::B, 86, weldOf(3.01_k)), "NotApplicable");
}

TEST(ExactRules, SeamOptionsAndVerdictsAsInTheWindow)
{
    EXPECT_EQ(exact(QualityLevel::B, 57, weldOf(10, 0, false, true)), "NotPermitted");
    EXPECT_EQ(exact(QualityLevel::B, 57, weldOf(10, 1)), "NotApplicable");
    EXPECT_EQ(exact(QualityLevel::B, 20, weldOf(10)), "CatalogueText");
    EXPECT_EQ(exact(QualityLevel::D, 9, weldOf(10)), "NoResult");
    EXPECT_EQ(exact(QualityLevel::B, 5, weldOf(10)), "NoResult");
}

// On the inputs the window's spin fields produce, every uncapped limit is the
// very value the window formats: both readings walk the same rows.
TEST(ExactRules, UncappedLimitsAgreeWithTheWindowOnEveryRow)
{
    int compared = 0;
    for (QualityLevel level : {QualityLevel::B, QualityLevel::C, QualityLevel::D}) {
        for (int recNo = 1; recNo <= 89; ++recNo) {
            for (int halfMm : {1, 5, 6, 7, 9, 20, 45, 125, 2000}) {
                for (int seam : {0, 1}) {
                    WeldInput in;
                    in.t = static_cast<float>(halfMm) / 2;
                    in.l = 37;
                    in.b = 13;
                    in.bw = 2.5f;
                    in.seamType = seam;
                    rules::ExactWeld ex;
                    ex.t = Decimal(halfMm * 5, 1);
                    ex.l = 37;
                    ex.b = 13;
                    ex.bw = 2.5_k;
                    ex.seamType = seam;
                    const rules::Rule* rule = rules::find(level, recNo);
                    const rules::Step* step = rule ? rules::decidingStep(*rule, in) : nullptr;
                    const auto windowResult = rules::evaluate(level, recNo, in);
                    const auto exactResult = rules::evaluateExact(level, recNo, ex);
                    ASSERT_EQ(windowResult.outcome, exactResult.outcome) << recNo << " t=" << in.t;
                    if (!step || step->then.formula.capped ||
                        (exactResult.outcome != rules::Outcome::Mm && exactResult.outcome != rules::Outcome::Mm2))
                        continue;
                    const Significand18 a = Significand18::fromDecimal(exactResult.value);
                    EXPECT_EQ(a.digits, windowResult.value.digits) << recNo << " t=" << in.t;
                    EXPECT_EQ(a.exponent, windowResult.value.exponent) << recNo << " t=" << in.t;
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 100);
}
