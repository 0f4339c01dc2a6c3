// The catalogue row an inspector means by what he types into the findings
// table: by row number, reference number, title or a part of the name, only
// among the rows that can belong to the weld, letter case aside also for
// umlauts, and nothing for a text that names no offered row.
#include "record/RowLookup.h"

#include "FixtureRows.h"
#include "record/PlainText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace veltrano;
using namespace veltrano::record;

namespace {

Weld weldOf(SeamType seam)
{
    Weld w;
    w.id = "N1";
    w.seam = seam;
    w.level = QualityLevel::C;
    w.t = {"10", false};
    w.l = {"100", false};
    w.b = {"12", false};
    w.bw = {"2", false};
    return w;
}

bool offers(const std::vector<int>& rows, int row)
{
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// The fixture's texts with the white space a hand-edited catalogue may have.
class RaggedRows : public FixtureRows {
public:
    std::string text(int record, std::string_view field) const override
    {
        if (record == 13 && field == "OrdnungsNr")
            return " 5011,\t5012 ";
        if (record == 13 && field == "Unregelm\u00E4\u00DFigkeit")
            return "Einbrand\u00A0 kerbe\n";
        return FixtureRows::text(record, field);
    }
};

} // namespace

TEST(RowLookup, OffersOnlyTheRowsThatCanBelongToTheWeld)
{
    const FixtureRows rows;
    const std::vector<int> butt = offeredRows(weldOf(SeamType::Butt), rows);
    const std::vector<int> fillet = offeredRows(weldOf(SeamType::Fillet), rows);
    EXPECT_TRUE(std::is_sorted(butt.begin(), butt.end()));
    EXPECT_TRUE(std::is_sorted(fillet.begin(), fillet.end()));
    // Excess weld metal of a butt weld is no finding on a fillet weld.
    EXPECT_TRUE(offers(butt, 16));
    EXPECT_FALSE(offers(fillet, 16));
    EXPECT_TRUE(offers(butt, 13) && offers(fillet, 13));
    EXPECT_TRUE(offers(butt, 1) && offers(butt, 89));
}

TEST(RowLookup, TitleHoldsNumberReferenceAndName)
{
    const FixtureRows rows;
    EXPECT_EQ(rowTitle(13, rows), "13 \u2013 5011, 5012 Einbrandkerbe");
    EXPECT_EQ(rowTitle(86, rows), "86 \u2013 Mehrfachunregelm\u00E4\u00DFigkeiten (Stumpfnaht)");
    // Outside the catalogue only the number is left to show.
    EXPECT_EQ(rowTitle(0, rows), "0");
    EXPECT_EQ(rowTitle(90, rows), "90");
    // Runs of white space of any kind become one space.
    EXPECT_EQ(rowTitle(13, RaggedRows()), "13 \u2013 5011, 5012 Einbrand kerbe");
}

TEST(RowLookup, TypedTextNamesTheFirstFittingRow)
{
    const FixtureRows rows;
    const std::vector<int> butt = offeredRows(weldOf(SeamType::Butt), rows);
    const std::vector<int> fillet = offeredRows(weldOf(SeamType::Fillet), rows);
    const std::vector<int> undercuts{12, 13}; // the same reference number and name
    struct Case {
        const char* typed;
        const std::vector<int>* offered;
        int row;
    };
    const Case cases[] = {
        {"13", &butt, 13},
        {"+13", &butt, 13},
        {"013", &butt, 13},
        {"  13\t", &butt, 13},
        {"13 \u2013 5011, 5012 einbrandkerbe", &butt, 13}, // the whole title, in other case
        {"5013", &butt, 15},                               // a reference number, exactly
        {"5012", &butt, 13},                               // the only offered row that has it
        {"5012", &undercuts, 12},                          // of two, the first
        {"einbrandkerbe", &butt, 13},                      // a part of the name
        {"einbrandkerbe", &undercuts, 12},
        {"WURZELKERBE", &butt, 15},
        {"NAHT\u00DCBERH\u00D6HUNG", &butt, 16}, // upper-case umlauts fold as well
        {"16", &fillet, 0},                      // not a row of a fillet weld
        {"502", &fillet, 0},
        {"\u00FCberh\u00F6hung", &fillet, 0},
        {"501", &butt, 0}, // a part of a reference number is none
        {"90", &butt, 0},
        {"0", &butt, 0},
        {"-13", &butt, 0},
        {"Kerbe Wurzel", &butt, 0},
        {"", &butt, 0},
        {"   ", &butt, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchRow(c.typed, *c.offered, rows), c.row) << "typed: \"" << c.typed << '"';
}

TEST(RowLookup, TitleOfARaggedRowIsFoundAsOffered)
{
    // What the list offers is its own title: taken back, it names the row.
    const RaggedRows rows;
    const std::vector<int> butt = offeredRows(weldOf(SeamType::Butt), rows);
    EXPECT_EQ(matchRow(rowTitle(13, rows), butt, rows), 13);
    EXPECT_EQ(matchRow("5011", std::vector<int>{13}, rows), 13);
    EXPECT_EQ(matchRow("5012", std::vector<int>{13}, rows), 13);
}

TEST(RowLookup, CaseFoldingCoversTheLettersInspectorsType)
{
    EXPECT_EQ(caseFolded("\u00C4\u00D6\u00DC\u1E9E \u00D7"), "\u00E4\u00F6\u00FC\u00DF \u00D7");
    EXPECT_EQ(caseFolded("\u03A3 \u03C2 \u0152 \u0178"), "\u03C3 \u03C3 \u0153 \u00FF");
    EXPECT_EQ(caseFolded("\u0416\u0401"), "\u0436\u0451");
    // A byte that is no UTF-8 stays as it is.
    EXPECT_EQ(caseFolded(std::string("A\xFF"
                                     "B")),
              std::string("a\xFF"
                          "b"));
    EXPECT_EQ(simplified("\u2003 a \u00A0\u00A0 b\r\n"), "a b");
}
