// The evaluation driver against a small in-memory catalogue: what it shows,
// what it caches, and how it treats the limit field.
#include "evaluation/Driver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace veltrano;

namespace {

// Three limit columns per record; records are 1-based.
struct FakeCatalogue : RecordCursor, LimitField {
    std::vector<std::map<std::string, std::string>> rows;
    int current = 1;
    std::string column = "hochB";
    std::vector<std::string> textsRead; // column bound at each read of the text
    std::function<void()> onChange;

    int RecNo() const override { return current; }
    void First() override
    {
        current = 1;
        if (onChange)
            onChange();
    }
    void moveTo(int rec)
    {
        current = rec;
        if (onChange)
            onChange();
    }
    const std::string& text() const override
    {
        static const std::string kNone;
        const_cast<FakeCatalogue*>(this)->textsRead.push_back(column);
        if (current < 1 || current > static_cast<int>(rows.size()))
            return kNone;
        const auto& row = rows[static_cast<std::size_t>(current - 1)];
        const auto it = row.find(column);
        return it == row.end() ? kNone : it->second;
    }
    std::string dataField() const override { return column; }
    void setDataField(const std::string& c) override { column = c; }
};

struct FakeWeld : WeldSource {
    WeldInput input;
    WeldInput weld() const override { return input; }
};

struct FakeDisplay : ResultDisplay {
    std::vector<std::string> captions;
    void setCaption(const std::string& text) override { captions.push_back(text); }
};

struct FakeStatus : StatusPanel {
    std::map<int, std::string> panels;
    void setPanelText(int panel, const std::string& text) override { panels[panel] = text; }
};

struct DriverTest : ::testing::Test {
    EvaluationState state;
    FakeCatalogue catalogue;
    FakeWeld weld;
    FakeDisplay display;
    FakeStatus status;
    LimitDriver driver{state, catalogue, catalogue, weld, display, status, ","};

    void SetUp() override
    {
        for (int rec = 1; rec <= 89; ++rec)
            catalogue.rows.push_back({{"hochB", "B-Grenze"}, {"mittelC", "C-Grenze"}, {"niedrigD", "D-Grenze"}});
        state.iRecCount = 89;
        state.iGroup = 1;
        catalogue.onChange = [this] { driver.DataSource1DataChange(); };
    }
    void setLimit(int rec, const std::string& column, const std::string& text)
    {
        catalogue.rows[static_cast<std::size_t>(rec - 1)][column] = text;
    }
};

TEST_F(DriverTest, CatalogueVerdictIsTakenOverUnchangedAndNoRuleRuns)
{
    struct Row {
        const char* text;
        bool takenOver;
    } rows[] = {
        {"nicht zul\u00E4ssig", true},
        {"Zul\u00E4ssig, wenn die Naht nachgearbeitet wird", true},
        {"ZUL\u00C4SSIG", false}, // only A to Z are lowered: the rule runs
        {"h \u2264 0,05 t, max. 0,5 mm", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        setLimit(15, "hochB", r.text);
        catalogue.moveTo(15);
        const std::string expected = r.takenOver ? r.text : "0,5 mm"; // butt weld, t = 10
        EXPECT_EQ(state.aResult[15], expected);
        EXPECT_EQ(display.captions.back(), expected);
    }
}

TEST_F(DriverTest, EveryEvaluationBlanksTheDisplayFirst)
{
    catalogue.moveTo(16);
    ASSERT_GE(display.captions.size(), 2u);
    EXPECT_EQ(display.captions[display.captions.size() - 2], "");
    EXPECT_EQ(display.captions.back(), "2,2 mm");
}

TEST_F(DriverTest, RecordsWithoutRuleShowAndCacheTheEmptyText)
{
    state.aResult[5] = "alt";
    catalogue.moveTo(5);
    EXPECT_EQ(state.aResult[5], "");
    EXPECT_EQ(display.captions.back(), "");
}

TEST_F(DriverTest, LevelRangesGateTheRules)
{
    // Level D consults no rule below record 3, level B none below 13.
    struct Row {
        int group, rec;
        const char* expected;
    } rows[] = {
        {3, 2, ""},        {3, 3, "nicht zutreffend"},  {1, 12, ""},
        {1, 13, "0,5 mm"}, {2, 12, "nicht zutreffend"}, {4, 13, ""},
        {0, 13, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.group) + "/" + std::to_string(r.rec));
        state.iGroup = r.group;
        catalogue.moveTo(r.rec);
        EXPECT_EQ(state.aResult[static_cast<std::size_t>(r.rec)], r.expected);
    }
}

TEST_F(DriverTest, StatusShowsThePosition)
{
    catalogue.moveTo(12);
    EXPECT_EQ(status.panels[1], "DSNr: 12  von 89");
    EXPECT_EQ(state.iRecNo, 12);
}

TEST_F(DriverTest, WelderTestJudgesOnTheLevelCTextAndRestoresTheBinding)
{
    weld.input.welderTest = true;
    setLimit(17, "mittelC", "nicht zul\u00E4ssig");
    catalogue.moveTo(17);
    EXPECT_EQ(catalogue.textsRead, std::vector<std::string>{"mittelC"});
    EXPECT_EQ(state.aResult[17], "nicht zul\u00E4ssig");
    EXPECT_EQ(catalogue.column, "hochB");

    // Record 13 reads the options but is judged on its own column.
    catalogue.textsRead.clear();
    catalogue.moveTo(13);
    EXPECT_EQ(catalogue.textsRead, std::vector<std::string>{"hochB"});
    EXPECT_EQ(state.aResult[13], "0,5 mm");

    // Without the option, record 17 reads its own column again.
    weld.input.welderTest = false;
    catalogue.textsRead.clear();
    catalogue.moveTo(17);
    EXPECT_EQ(catalogue.textsRead, std::vector<std::string>{"hochB"});
}

TEST_F(DriverTest, WelderTestSubstitutionAlsoAtOtherLevels)
{
    weld.input.welderTest = true;
    state.iGroup = 3;
    catalogue.column = "niedrigD";
    setLimit(33, "mittelC", "Sonderfall zul\u00E4ssig");
    catalogue.moveTo(33);
    EXPECT_EQ(state.aResult[33], "Sonderfall zul\u00E4ssig");
    EXPECT_EQ(catalogue.column, "niedrigD");
}

// Records that share a rule share its worked-out text only while the weld's
// dimensions stay as they are.
TEST_F(DriverTest, RecordsSharingARuleFollowAChangedDimension)
{
    struct Step {
        float WeldInput::*dimension;
        float value;
        int rec;
        const char* expected;
    } steps[] = {
        {&WeldInput::t, 10.0f, 57, "2,0 mm"}, // min(0.2 t, 2)
        {&WeldInput::t, 5.0f, 59, "1,0 mm"},  // the same rule, thinner
        {&WeldInput::t, 5.0f, 61, "1,0 mm"},         {&WeldInput::b, 12.0f, 38, "12,0 mm\u00B2"}, // 0.01 l b
        {&WeldInput::b, 20.0f, 40, "20,0 mm\u00B2"}, // the same rule, wider
        {&WeldInput::l, 50.0f, 38, "10,0 mm\u00B2"}, // back on the first record, shorter
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.rec);
        weld.input.*step.dimension = step.value;
        catalogue.moveTo(step.rec);
        EXPECT_EQ(state.aResult[static_cast<std::size_t>(step.rec)], step.expected);
    }
}

TEST_F(DriverTest, CatalogueTextRuleTakesTheBoundText)
{
    setLimit(20, "hochB", "\u03B1 \u2265 150\u00B0");
    catalogue.moveTo(20);
    EXPECT_EQ(state.aResult[20], "\u03B1 \u2265 150\u00B0");
}

TEST_F(DriverTest, ClearResultsEvaluatesRecordOneThenEmptiesTheCacheButNotEntryZero)
{
    state.aResult[0] = "Bitte Nahtbreite in mm eingeben";
    for (int i = 1; i <= 90; ++i)
        state.aResult[static_cast<std::size_t>(i)] = "x";
    state.iGroup = 2;
    catalogue.moveTo(40);
    driver.ClearResults();
    EXPECT_EQ(state.iRecNo, 1);
    EXPECT_EQ(status.panels[1], "DSNr: 1  von 89");
    for (int i = 1; i <= 89; ++i)
        EXPECT_EQ(state.aResult[static_cast<std::size_t>(i)], "") << i;
    EXPECT_EQ(state.aResult[90], "x"); // beyond iRecCount
    EXPECT_EQ(state.aResult[0], "Bitte Nahtbreite in mm eingeben");
    EXPECT_EQ(display.captions.back(), ""); // record 1 at level C has no rule
}

TEST_F(DriverTest, RecordNumbersOutsideTheCacheNeverIndexIt)
{
    const auto before = state.aResult;
    for (int rec : {-1, 91, 5000}) {
        catalogue.moveTo(rec);
        EXPECT_EQ(state.aResult, before) << rec;
    }
    state.iRecCount = 500;
    driver.ClearResults(); // clears 1 to 90 only
    EXPECT_EQ(state.aResult[0], before[0]);
}

} // namespace
