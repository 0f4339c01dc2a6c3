// The shipped catalogue and the rule tables must tell the same story: a limit
// text that a rule computes must not already read as a verdict ("zulässig"),
// or the rule would never run; a record without a rule must carry the
// standard's verdict, or the inspector would see an empty result.
#include "catalogue/Catalogue.h"
#include "evaluation/LimitText.h"
#include "evaluation/Rules.h"

#include <gtest/gtest.h>

#include <string>

using namespace veltrano;
using namespace veltrano::rules;

namespace {

std::string withComma(Decimal d)
{
    std::string s = toString(d);
    if (const auto dot = s.find('.'); dot != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
        else
            s[dot] = ',';
    }
    return s;
}

struct Content : ::testing::Test {
    Catalogue catalogue{VELTRANO_TEST_CATALOGUE};
    void SetUp() override { catalogue.Open(); }
    std::string cell(int rec, QualityLevel level) const { return catalogue.FieldText(rec - 1, limitColumn(level)); }
};

TEST_F(Content, LimitTextsAgreeWithTheRulesCellByCell)
{
    ASSERT_EQ(catalogue.RecordCount(), 89);
    for (QualityLevel level : {QualityLevel::B, QualityLevel::C, QualityLevel::D}) {
        for (int rec = 1; rec <= 89; ++rec) {
            const Rule* rule = find(level, rec);
            ASSERT_NE(rule, nullptr);
            const std::string text = cell(rec, level);
            SCOPED_TRACE("record " + std::to_string(rec) + " level " + std::to_string(static_cast<int>(level)) + ": " +
                         text);
            EXPECT_FALSE(text.empty());
            bool hasRule = false;
            for (int i = 0; i < rule->stepCount; ++i) {
                const Step& s = rule->steps[static_cast<std::size_t>(i)];
                hasRule |= s.then.outcome != Outcome::NoResult;
                const bool ordinary = (s.when.bits & (kWelderTest | kRailBridge)) == 0;
                const Formula& f = s.then.formula;
                if (s.then.outcome == Outcome::Mm && ordinary && f.first != Var::none) {
                    // The text names the rule's factor, addend and cap.
                    if (!(f.factor == Decimal(1, 0))) {
                        EXPECT_NE(text.find(withComma(f.factor)), std::string::npos) << "factor";
                    }
                    if (f.addend.mantissa != 0) {
                        EXPECT_NE(text.find(withComma(f.addend) + " mm"), std::string::npos) << "addend";
                    }
                    if (f.capped) {
                        EXPECT_NE(text.find("max. " + withComma(f.cap) + " mm"), std::string::npos) << "cap";
                    } else {
                        EXPECT_EQ(text.find("max."), std::string::npos) << "a cap the rule does not have";
                    }
                }
                if (s.then.outcome == Outcome::Mm2) {
                    EXPECT_NE(text.find(withComma(multiply(f.factor, Decimal(100, 0))) + " %"), std::string::npos)
                        << "area share";
                }
            }
            if (hasRule) {
                EXPECT_FALSE(containsZulaessig(text)) << "the rule would never run";
            } else if (rec != 37) {
                EXPECT_TRUE(containsZulaessig(text)) << "no rule and no verdict";
            }
        }
    }
}

TEST_F(Content, WelderTestRecordsAreJudgedOnARuleTextAtLevelC)
{
    for (int rec : {16, 17, 18, 19, 33})
        EXPECT_FALSE(containsZulaessig(cell(rec, QualityLevel::C))) << rec;
}

TEST_F(Content, RowsStandInTheirOrder)
{
    // Reference numbers at the places the rules and the report rely on.
    const std::pair<int, const char*> anchors[] = {
        {1, "100"},   {2, "104"},  {3, "2017"}, {6, "2017"},  {7, "2025"},  {8, "2025"},  {11, "4021"},
        {16, "502"},  {17, "503"}, {18, "504"}, {19, "504"},  {20, "505"},  {21, "505"},  {22, "506"},
        {25, "510"},  {26, "512"}, {27, "515"}, {29, "516"},  {30, "517"},  {31, "5213"}, {33, "5214"},
        {34, "601"},  {35, "602"}, {36, "100"}, {37, "1001"}, {43, "2013"}, {46, "2014"}, {53, "202"},
        {55, "2024"}, {57, "300"}, {65, "304"}, {67, "3042"}, {70, "4011"}, {74, "4013"}, {76, "402"},
        {79, "402"},  {80, "507"}, {82, "507"}, {83, "508"},  {84, "617"},  {85, "617"},
    };
    for (const auto& [rec, reference] : anchors)
        EXPECT_EQ(catalogue.FieldText(rec - 1, "OrdnungsNr").rfind(reference, 0), 0u)
            << "record " << rec << ": " << catalogue.FieldText(rec - 1, "OrdnungsNr");
    EXPECT_NE(catalogue.FieldText(88, "Unregelm\u00E4\u00DFigkeit").find("Mehrfachunregelm\u00E4\u00DFigkeit"),
              std::string::npos);
}

} // namespace
