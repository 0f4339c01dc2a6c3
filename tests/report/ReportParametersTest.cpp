#include "report/ReportParameters.h"
#include "NumberedCache.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace veltrano;
using namespace veltrano::report;
using namespace veltrano::test;

namespace {

ReportInputs weld(int seamIndex, float t, int levelIndex = 0)
{
    ReportInputs in;
    in.seamText = seamIndex == 0 ? QStringLiteral("Stumpfnaht") : QStringLiteral("Kehlnaht");
    in.levelText = QStringLiteral("C (mittel)");
    in.md = QStringLiteral("3,00");
    in.nl = QStringLiteral("100,00");
    in.nb = QStringLiteral("12,00");
    in.wb = QStringLiteral("2,00");
    in.seamIndex = seamIndex;
    in.levelIndex = levelIndex;
    in.t = t;
    return in;
}

const QString NA = QStringLiteral("nicht zutreffend");
const QString CRACKS = QStringLiteral("abhängig von Grundwerkstoff und Rißanfälligkeit");

} // namespace

// The whole mapping for each of the four columns.  Column picked by a butt
// weld (index 0) against every other index, and by t > 3 against t <= 3.
struct MappingCase {
    const char* name;
    int seamIndex;
    float t;
    std::array<const char*, 57> expected;
};

// Keeps the test names short where the case is printed.
void PrintTo(const MappingCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReportMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(ReportMapping, EveryResultLineTakesItsRecordOrFixedText)
{
    const MappingCase& c = GetParam();
    const ReportParameters p = buildReportParameters(weld(c.seamIndex, c.t), numberedCache());
    for (int n = 1; n <= 57; ++n) {
        const QString expected = QString::fromUtf8(c.expected[static_cast<std::size_t>(n - 1)]);
        EXPECT_EQ(p.value(QStringLiteral("IW%1").arg(n)), expected) << "IW" << n;
    }
    EXPECT_EQ(p.size(), 63);
}

// clang-format off
#define NZ "nicht zutreffend"
#define MC "abhängig von Grundwerkstoff und Rißanfälligkeit"
const std::array<const char*, 57> kButtThin = {"R1","R2","R5","R7","R9","R10","R11","R12","R14","R16","R18","R20","R22","R23","R25",NZ,"R27","R29","R30",NZ,NZ,"R34","R35","R36",MC,"R38","R39","R40","R41","R43","R44","R46","R47","R48","R49","R51","R53","R55","R57","R59","R61","R63","R65","R67","R68","R70","R72","R74",NZ,"R78","R79","R80","R82","R83","R84","R86","R89"};
const std::array<const char*, 57> kButtThick = {"R1","R2","R6","R8","R9","R10","R11","R13","R15","R16","R19","R20","R22","R24","R25",NZ,"R28","R29","R30",NZ,NZ,"R34","R35","R36",MC,"R38","R39","R40","R41","R43","R44","R46","R47","R48","R49","R51","R53","R56","R57","R59","R61","R63","R65","R67","R68","R70","R72","R74",NZ,"R78","R79","R81","R82","R83","R85","R87","R89"};
const std::array<const char*, 57> kFilletThin = {"R1","R2","R3","R7","R9","R10",NZ,"R12","R14","R17","R18","R21","R22","R23","R25","R26","R27","R29","R30","R31","R33","R34","R35","R36",MC,"R38","R39","R40","R42","R43","R45","R46","R47","R48","R50","R52","R54","R55","R58","R60","R62","R64","R66","R67","R69","R71","R73","R75","R76","R77",NZ,"R80","R82",NZ,"R84","R88","R89"};
const std::array<const char*, 57> kFilletThick = {"R1","R2","R4","R8","R9","R10",NZ,"R13","R15","R17","R19","R21","R22","R24","R25","R26","R28","R29","R30","R32","R33","R34","R35","R36",MC,"R38","R39","R40","R42","R43","R45","R46","R47","R48","R50","R52","R54","R56","R58","R60","R62","R64","R66","R67","R69","R71","R73","R75","R76","R77",NZ,"R81","R82",NZ,"R85","R88","R89"};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Columns, ReportMapping,
                         ::testing::Values(MappingCase{"ButtThin", 0, 3.0f, kButtThin}, // t = 3 is still "t <= 3"
                                           MappingCase{"ButtThick", 0, 3.5f, kButtThick},
                                           MappingCase{"ButtJustAbove3", 0, 3.0000002f,
                                                       kButtThick}, // next float above 3
                                           MappingCase{"FilletThin", 1, 3.0f, kFilletThin},
                                           MappingCase{"FilletThick", 1, 3.5f, kFilletThick},
                                           MappingCase{"NoSeamSelectedIsFillet", -1, 0.5f, kFilletThin},
                                           MappingCase{"TypedSeamIsFillet", 5, 30.0f, kFilletThick}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportParameters, HeaderCarriesTheDisplayedTextsAlsoTheHiddenRootWidthOfAFilletWeld)
{
    ReportInputs in = weld(1, 5.0f);
    in.md = QStringLiteral("5,00");
    in.wb = QStringLiteral("12,50");
    const ReportParameters p = buildReportParameters(in, numberedCache());
    EXPECT_EQ(p.value("Titel1"), "Kehlnaht");
    EXPECT_EQ(p.value("Titel2"), "C (mittel)");
    EXPECT_EQ(p.value("MD"), "5,00");
    EXPECT_EQ(p.value("NL"), "100,00");
    EXPECT_EQ(p.value("NB"), "12,00");
    EXPECT_EQ(p.value("WB"), "12,50");
}

TEST(ReportParameters, NamesMatchWithoutRegardToCaseAndTheLastValueWins)
{
    ReportParameters p;
    p.set("IW19", "first");
    p.set("iw19", "second");
    EXPECT_EQ(p.value("iW19"), "second");
    EXPECT_EQ(p.value("IW19"), "second");
    EXPECT_EQ(p.size(), 1);
    EXPECT_TRUE(p.value("IW20").isEmpty());
    EXPECT_FALSE(p.contains("IW20"));
}

TEST(ReportParameters, UnevaluatedRecordsPrintEmptyOnlyRecordOneGuards)
{
    Cache c{};
    c[1] = "nicht zulässig";
    EXPECT_TRUE(reportDataAvailable(c));
    const ReportParameters p = buildReportParameters(weld(0, 10.0f), c);
    EXPECT_EQ(p.value("IW1"), "nicht zulässig");
    EXPECT_TRUE(p.contains("IW2"));
    EXPECT_TRUE(p.value("IW2").isEmpty());
    EXPECT_TRUE(p.value("IW7").isEmpty()); // record 11 not evaluated
    EXPECT_EQ(p.value("IW16"), NA);        // fixed texts need no cache

    c[1].clear();
    c[2] = "R2";
    EXPECT_FALSE(reportDataAvailable(c));
}

// Record 35's text is cut to 39 characters; umlauts and "²" count as one
// character each, though they take two bytes.
TEST(ReportParameters, SpatterLineKeepsTheFirst39Characters)
{
    const QString umlauts40(40, QChar(0xE4));
    struct Case {
        QString cached;
        QString printed;
    };
    const Case cases[] = {
        // exactly 39 characters (41 bytes): passed whole
        {"Zulässigkeit abhängig von der Anwendung", "Zulässigkeit abhängig von der Anwendung"},
        // 40 characters: the last one goes
        {"Zulässigkeit abhängig von der Anwendung!", "Zulässigkeit abhängig von der Anwendung"},
        {umlauts40, umlauts40.left(39)},
        {"1,5 mm²", "1,5 mm²"},
        {"", ""},
    };
    for (const Case& c : cases) {
        Cache cache = numberedCache();
        cache[35] = c.cached.toStdString();
        EXPECT_EQ(buildReportParameters(weld(0, 10.0f), cache).value("IW23"), c.printed) << c.cached.toStdString();
    }
    // A character outside the basic plane is one character, never half of one.
    EXPECT_EQ(firstCharacters(std::string(38, 'x') + "\xF0\x9F\x94\xA5" + "y", 39),
              QString(38, QChar('x')) + QString::fromUtf8("\xF0\x9F\x94\xA5"));
}

// Record 79 belongs to the butt weld's "durchgeschweißt" line; record 76 is
// the fillet weld's (shown in IW49).  Record 37's text reaches the micro-crack
// line only at level D, where the catalogue permits micro-cracks outright.
TEST(ReportParameters, ButtWeldFullPenetrationAndMicroCracksAtLevelD)
{
    Cache c = numberedCache();
    c[37] = "zulässig";
    c[76] = "nicht zutreffend";
    c[79] = "1,6 mm";

    const ReportParameters buttD = buildReportParameters(weld(0, 8.0f, 2), c);
    EXPECT_EQ(buttD.value("IW51"), "1,6 mm");
    EXPECT_EQ(buttD.value("IW49"), NA);
    EXPECT_EQ(buttD.value("IW25"), "zulässig");

    for (int level : {0, 1}) {
        const ReportParameters p = buildReportParameters(weld(0, 8.0f, level), c);
        EXPECT_EQ(p.value("IW25"), CRACKS) << level;
        EXPECT_EQ(p.value("IW51"), "1,6 mm") << level;
    }
    EXPECT_EQ(buildReportParameters(weld(1, 8.0f, 2), c).value("IW51"), NA);
    EXPECT_EQ(buildReportParameters(weld(1, 8.0f, 2), c).value("IW49"), "nicht zutreffend");
}

TEST(ReportParameters, WeldGivenWithoutWindowReadsAsTheFieldsShowIt)
{
    WeldInput w;
    w.seamType = static_cast<int>(SeamType::Fillet);
    w.t = 3.5f;
    w.l = 1000.0f;
    w.b = 7.0f;
    w.bw = 2.5f;
    const ReportInputs in = reportInputsFor(w, static_cast<int>(QualityLevel::D), ",");
    EXPECT_EQ(in.seamText, "Kehlnaht");
    EXPECT_EQ(in.levelText, "D (niedrig)");
    EXPECT_EQ(in.levelIndex, 2);
    EXPECT_EQ(in.md, "3,50");
    EXPECT_EQ(in.nl, "1000,00");
    EXPECT_EQ(in.nb, "7,00");
    EXPECT_EQ(in.wb, "2,50");
    EXPECT_EQ(in.seamIndex, 1);
    EXPECT_EQ(in.t, 3.5f);

    w.seamType = -1;
    const ReportInputs none = reportInputsFor(w, static_cast<int>(QualityLevel::B), ".");
    EXPECT_TRUE(none.seamText.isEmpty());
    EXPECT_EQ(none.levelText, "B (hoch)");
    EXPECT_EQ(none.md, "3.50");
}
