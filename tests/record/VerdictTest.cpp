// Verdicts of findings, welds and records at the boundaries an inspector
// cares about: exactly at the limit, a hundredth above it, at a cap, on
// values that binary arithmetic gets wrong, short against long imperfections,
// and one case for each kind of catalogue text.
#include "record/Verdict.h"

#include "FixtureRows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace veltrano;
using namespace veltrano::record;

namespace {

struct WeldSpec {
    SeamType seam = SeamType::Butt;
    QualityLevel level = QualityLevel::C;
    const char* t = "10";
    const char* l = "100";
    const char* b = "12";
    const char* bw = "2";
    bool welderTest = false;
    bool railBridge = false;
};

Weld makeWeld(const WeldSpec& s)
{
    Weld w;
    w.id = "N1";
    w.seam = s.seam;
    w.level = s.level;
    w.t = {s.t, true};
    w.l = {s.l, true};
    w.b = {s.b, true};
    w.bw = {s.bw, true};
    if (s.welderTest)
        w.welderTest = true;
    if (s.railBridge)
        w.railBridge = true;
    return w;
}

Finding makeFinding(int record, const char* value, const char* length = nullptr, Judgement j = Judgement::None)
{
    Finding f;
    f.record = record;
    f.value = {value, true};
    if (length)
        f.length = WrittenNumber{length, true};
    f.judgement = j;
    return f;
}

constexpr SeamType kButt = SeamType::Butt;
constexpr SeamType kFillet = SeamType::Fillet;
constexpr QualityLevel kB = QualityLevel::B;
constexpr QualityLevel kC = QualityLevel::C;
constexpr QualityLevel kD = QualityLevel::D;

} // namespace

TEST(Verdict, Findings)
{
    struct Case {
        const char* name;
        WeldSpec weld;
        Finding finding;
        Verdict verdict;
        const char* limit; // exact limit with a point, "" for none
        const char* reason;
    };
    const WeldSpec thin33{kButt, kC, "3.3"};
    const Case cases[] = {
        // 0.1 * t with t = 3.3 is exactly 0.33
        {"exactly at the limit", thin33, makeFinding(13, "0.33"), Verdict::Accepted, "0.33",
         "Messwert 0,33 mm ≤ Grenzwert 0,33 mm"},
        {"a hundredth above", thin33, makeFinding(13, "0,34"), Verdict::Rejected, "0.33",
         "Messwert 0,34 mm > Grenzwert 0,33 mm"},
        {"far below the last digit", thin33, makeFinding(13, "0.330000000000000000001"), Verdict::Rejected, "0.33",
         "> Grenzwert 0,33 mm"},
        {"at the cap",
         {kButt, kC, "12"},
         makeFinding(13, "0.5"),
         Verdict::Accepted,
         "0.5",
         "Messwert 0,5 mm ≤ Grenzwert 0,5 mm"},
        {"above the cap", {kButt, kC, "12"}, makeFinding(13, "0.51"), Verdict::Rejected, "0.5", ""},
        // as a float 0.05 * 9 lies below 0.45, and the window prints 0,4 mm
        {"capped value a float would lower",
         {kButt, kB, "9"},
         makeFinding(15, "0.45", "10"),
         Verdict::Accepted,
         "0.45",
         "Messwert 0,45 mm ≤ Grenzwert 0,45 mm"},
        // in binary doubles 0.3 * 4.5 is just below 1.35
        {"product a double would lower", {kButt, kC, "4.5"}, makeFinding(87, "1.35"), Verdict::Accepted, "1.35", ""},
        {"area in mm²",
         {kButt, kC},
         makeFinding(38, "18"),
         Verdict::Accepted,
         "18",
         "Messwert 18 mm² ≤ Grenzwert 18 mm²"},
        {"area a hundredth above", {kButt, kC}, makeFinding(38, "18.01"), Verdict::Rejected, "18", ""},
        {"welder test judged on its own limit",
         {kButt, kB, "10", "100", "12", "2", true},
         makeFinding(16, "2.8"),
         Verdict::Accepted,
         "2.8",
         ""},
        {"without welder test", {kButt, kB}, makeFinding(16, "2.8"), Verdict::Rejected, "2.2", ""},
        {"welder test reads the level-C text",
         {kFillet, kB, "10", "100", "12", "2", true},
         makeFinding(33, "3"),
         Verdict::Accepted,
         "3",
         "Messwert 3 mm ≤ Grenzwert 3 mm"},
        {"level-B text without welder test",
         {kFillet, kB},
         makeFinding(33, "0"),
         Verdict::Rejected,
         "",
         "nicht zulässig"},

        // t = 3 lies on the thin side, where record 13 does not belong
        {"thin weld on a thick row",
         {kButt, kC, "3"},
         makeFinding(13, "0.1"),
         Verdict::Open,
         "",
         "nicht zutreffend für diese Naht (Stumpfnaht, t = 3 mm)"},
        {"fillet weld on a butt row",
         {kFillet, kB},
         makeFinding(57, "0.1", "5"),
         Verdict::Open,
         "",
         "nicht zutreffend für diese Naht (Kehlnaht, t = 10 mm)"},
        {"railway bridge",
         {kButt, kB, "10", "100", "12", "2", false, true},
         makeFinding(57, "0"),
         Verdict::Rejected,
         "",
         "nicht zulässig (Eisenbahnbrücke)"},
        {"nicht zulässig", {kButt, kC}, makeFinding(1, "0"), Verdict::Rejected, "", "nicht zulässig"},
        {"zulässig", {kButt, kC}, makeFinding(10, "3"), Verdict::Accepted, "", "zulässig"},
        {"nicht erlaubt on a thin weld",
         {kButt, kC, "3"},
         makeFinding(86, "0.1"),
         Verdict::Rejected,
         "",
         "nicht zulässig"},
        {"nicht erlaubt row on a thick weld",
         {kButt, kC, "4"},
         makeFinding(86, "0.1"),
         Verdict::Open,
         "",
         "nicht zutreffend"},

        {"angle at its minimum",
         {kButt, kB},
         makeFinding(20, "150"),
         Verdict::Accepted,
         "150",
         "Messwert 150° ≥ Mindestwert 150°"},
        {"angle a hundredth short",
         {kButt, kB},
         makeFinding(20, "149.99"),
         Verdict::Rejected,
         "150",
         "Messwert 149,99° < Mindestwert 150°"},
        {"angle on a fillet weld", {kFillet, kB}, makeFinding(20, "150"), Verdict::Open, "", "nicht zutreffend"},
        {"angular misalignment at its maximum",
         {kButt, kC},
         makeFinding(83, "2"),
         Verdict::Accepted,
         "2",
         "Messwert 2° ≤ Grenzwert 2°"},
        {"angular misalignment above", {kButt, kC}, makeFinding(83, "2.01"), Verdict::Rejected, "2", ""},

        {"descriptive text waits for the inspector",
         {kButt, kD},
         makeFinding(29, "1"),
         Verdict::Open,
         "",
         "Bewertung durch den Prüfer nötig (örtlich zulässig)"},
        {"inspector accepts",
         {kButt, kD},
         makeFinding(29, "1", nullptr, Judgement::Accepted),
         Verdict::Accepted,
         "",
         "vom Prüfer angenommen (örtlich zulässig)"},
        {"inspector rejects",
         {kButt, kD},
         makeFinding(29, "1", nullptr, Judgement::Rejected),
         Verdict::Rejected,
         "",
         "vom Prüfer zurückgewiesen"},
        {"catalogue text of a rule",
         {kButt, kD},
         makeFinding(30, "1"),
         Verdict::Open,
         "",
         "Bewertung durch den Prüfer nötig (erlaubt; die Grenze"},
        {"no text at all",
         {kButt, kC},
         makeFinding(35, "1"),
         Verdict::Open,
         "",
         "Bewertung durch den Prüfer nötig (kein Grenzwert)"},
        {"judgement does not override a computed verdict", thin33,
         makeFinding(13, "0.34", nullptr, Judgement::Accepted), Verdict::Rejected, "0.33", ""},

        // short imperfections: at most 25 mm in 100 mm, a quarter of a shorter weld
        {"short at 25 mm",
         {kButt, kC, "2"},
         makeFinding(12, "0.2", "25"),
         Verdict::Accepted,
         "0.2",
         "Messwert 0,2 mm ≤ Grenzwert 0,2 mm; Länge 25 mm ≤ 25 mm"},
        {"long at 25.01 mm",
         {kButt, kC, "2"},
         makeFinding(12, "0.1", "25.01"),
         Verdict::Rejected,
         "0.2",
         "Länge 25,01 mm > 25 mm: keine kurze Unregelmäßigkeit"},
        {"length missing", {kButt, kC, "2"}, makeFinding(12, "0.1"), Verdict::Open, "0.2", "; Länge angeben"},
        {"too deep, length missing", {kButt, kC, "2"}, makeFinding(12, "0.21"), Verdict::Rejected, "0.2", ""},
        {"short weld, a quarter of it",
         {kButt, kC, "2", "60"},
         makeFinding(12, "0.1", "15"),
         Verdict::Accepted,
         "0.2",
         "Länge 15 mm ≤ 15 mm"},
        {"short weld, above a quarter",
         {kButt, kC, "2", "60"},
         makeFinding(12, "0.1", "15.5"),
         Verdict::Rejected,
         "0.2",
         ""},
        {"short weld with hundredths",
         {kButt, kC, "2", "99.99"},
         makeFinding(12, "0.1", "24.9975"),
         Verdict::Accepted,
         "0.2",
         "Länge 24,9975 mm ≤ 24,9975 mm"},
        {"long imperfection on a capped short row",
         {kButt, kC, "10"},
         makeFinding(15, "1", "40", Judgement::None),
         Verdict::Rejected,
         "1",
         ""},

        // a gas channel: also its length l <= s, max. 50 mm at level C
        {"gas channel within both",
         {kButt, kC, "10"},
         makeFinding(51, "3", "10"),
         Verdict::Accepted,
         "3",
         "Länge 10 mm ≤ 25 mm; Länge 10 mm ≤ Grenzwert l 10 mm"},
        {"gas channel longer than s",
         {kButt, kC, "8"},
         makeFinding(51, "1", "9"),
         Verdict::Rejected,
         "2.4",
         "Länge 9 mm > Grenzwert l 8 mm"},
        {"gas channel, length missing", {kButt, kC, "8"}, makeFinding(51, "1"), Verdict::Open, "2.4", "Länge angeben"},

        {"value written with an exponent", thin33,
         [] {
             Finding f = makeFinding(13, "3.3e-1");
             f.value.quoted = false;
             return f;
         }(),
         Verdict::Accepted, "0.33", ""},
        {"unreadable value stays open", thin33, makeFinding(13, "viel"), Verdict::Open, "", "Messwert fehlt"},
    };
    const FixtureRows rows;
    for (const Case& c : cases) {
        const FindingVerdict v = judgeFinding(makeWeld(c.weld), c.finding, rows);
        EXPECT_EQ(verdictKey(v.verdict), std::string(verdictKey(c.verdict))) << c.name << ": " << v.reason;
        EXPECT_EQ(v.limit ? v.limit->text() : "", c.limit) << c.name;
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.name << ": " << v.reason;
        EXPECT_EQ(v.record, c.finding.record);
    }
}

TEST(Verdict, UnitsAndBoundsOfTheNumericRows)
{
    const FixtureRows rows;
    const Weld butt = makeWeld({kButt, kB});
    const FindingVerdict mm = judgeFinding(butt, makeFinding(16, "1"), rows);
    EXPECT_EQ(mm.unit, "mm");
    EXPECT_EQ(mm.bound, Bound::Max);
    EXPECT_EQ(mm.limitText, "h ≤ 1 mm + 0,1 b, max. 5 mm");
    EXPECT_EQ(judgeFinding(butt, makeFinding(38, "1"), rows).unit, "mm²");
    const FindingVerdict angle = judgeFinding(butt, makeFinding(20, "1"), rows);
    EXPECT_EQ(angle.unit, "°");
    EXPECT_EQ(angle.bound, Bound::Min);
    EXPECT_EQ(judgeFinding(butt, makeFinding(1, "1"), rows).bound, Bound::None);
    // The limit as the inspector reads it: its direction first, number and
    // unit held together by no-break spaces.
    EXPECT_EQ(boundedLimitText(*mm.limit, mm.bound, mm.unit, ","), "\u2264\u00A02,2\u00A0mm");
    EXPECT_EQ(boundedLimitText(*angle.limit, angle.bound, angle.unit, ","), "\u2265\u00A0150\u00B0");
    EXPECT_EQ(boundedLimitText(*mm.limit, Bound::None, "", "."), "2.2");
}

TEST(Verdict, WeldsAndRecordsCombineTheirParts)
{
    const FixtureRows rows;
    const Finding accepted = makeFinding(10, "1");
    const Finding open = makeFinding(29, "1");
    const Finding rejected = makeFinding(1, "1");

    Weld w = makeWeld({kButt, kD});
    EXPECT_EQ(judgeWeld(w, rows).verdict, Verdict::Accepted);
    EXPECT_EQ(judgeWeld(w, rows).reason, "keine Befunde");
    w.findings = {accepted, open, accepted};
    EXPECT_EQ(judgeWeld(w, rows).verdict, Verdict::Open);
    w.findings.push_back(rejected);
    const WeldVerdict wv = judgeWeld(w, rows);
    EXPECT_EQ(wv.verdict, Verdict::Rejected);
    EXPECT_EQ(wv.reason, "4 Befunde: 1 zurückgewiesen, 1 offen, 2 angenommen");
    ASSERT_EQ(wv.findings.size(), 4u);

    Record r;
    EXPECT_EQ(judgeRecord(r, rows).verdict, Verdict::Open) << "a record without welds inspected nothing";
    Weld good = makeWeld({kButt, kD});
    good.findings = {accepted};
    Weld waiting = good;
    waiting.findings.push_back(open);
    Weld bad = good;
    bad.findings.push_back(rejected);
    r.welds = {good, good};
    EXPECT_EQ(judgeRecord(r, rows).verdict, Verdict::Accepted);
    EXPECT_EQ(judgeRecord(r, rows).reason, "2 Nähte: 2 angenommen");
    r.welds = {good, waiting};
    EXPECT_EQ(judgeRecord(r, rows).verdict, Verdict::Open);
    r.welds = {bad, waiting, good};
    const RecordVerdict rv = judgeRecord(r, rows);
    EXPECT_EQ(rv.verdict, Verdict::Rejected);
    EXPECT_EQ(rv.reason, "3 Nähte: 1 zurückgewiesen, 1 offen, 1 angenommen");
    EXPECT_EQ(rv.welds.size(), 3u);
}
