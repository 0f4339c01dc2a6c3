// The verdicts read the shipped catalogue's own limit texts: every row at
// every level is understood, and a few findings are judged on the real rows.
#include "catalogue/Catalogue.h"
#include "evaluation/LimitText.h"
#include "evaluation/Rules.h"
#include "record/CatalogueRows.h"
#include "record/Verdict.h"

#include <gtest/gtest.h>

#include <string>

using namespace veltrano;
using namespace veltrano::record;

namespace {

class ShippedCatalogue : public ::testing::Test {
protected:
    void SetUp() override { catalogue.Open(); }

    Catalogue catalogue{VELTRANO_TEST_CATALOGUE};
    CatalogueRowsOf<Catalogue> rows{catalogue};
};

Weld weldOf(SeamType seam, QualityLevel level, const char* t, const char* l = "100")
{
    Weld w;
    w.id = "N1";
    w.seam = seam;
    w.level = level;
    w.t = {t, false};
    w.l = {l, false};
    w.b = {"12", false};
    w.bw = {"2", false};
    return w;
}

Finding findingOf(int record, const char* value, const char* length = nullptr)
{
    Finding f;
    f.record = record;
    f.value = {value, false};
    if (length)
        f.length = WrittenNumber{length, false};
    return f;
}

} // namespace

TEST_F(ShippedCatalogue, EveryRowIsUnderstoodAtEveryLevel)
{
    ASSERT_EQ(rows.rowCount(), 89);
    for (QualityLevel level : {QualityLevel::B, QualityLevel::C, QualityLevel::D}) {
        for (SeamType seam : {SeamType::Butt, SeamType::Fillet}) {
            for (const char* t : {"2", "10"}) {
                const Weld weld = weldOf(seam, level, t);
                for (int recNo = 1; recNo <= 89; ++recNo) {
                    const std::string where =
                        "record " + std::to_string(recNo) + " level " + limitColumn(level) + " t " + t;
                    const FindingVerdict v = judgeFinding(weld, findingOf(recNo, "0", "0"), rows);
                    // A second criterion in the text is always read.
                    EXPECT_EQ(v.reason.find("von Hand"), std::string::npos) << where << ": " << v.reason;
                    // A formula row always has its exact limit.
                    rules::ExactWeld exact;
                    exact.t = Decimal(std::stoi(t), 0);
                    exact.seamType = static_cast<int>(seam);
                    const auto e = rules::evaluateExact(level, recNo, exact);
                    if (!containsZulaessig(v.limitText) &&
                        (e.outcome == rules::Outcome::Mm || e.outcome == rules::Outcome::Mm2)) {
                        EXPECT_TRUE(v.limit) << where;
                    }
                    // The angle texts are limits in degrees.
                    if (e.outcome == rules::Outcome::CatalogueText &&
                        (v.limitText.find("\u03B1 ") == 0 || v.limitText.find("\u03B2 ") == 0)) {
                        EXPECT_EQ(v.unit, "\u00B0") << where << ": " << v.limitText;
                    }
                    // An imperfection of size and length 0 is rejected only by
                    // a verdict text or a minimum angle.
                    if (v.verdict == Verdict::Rejected) {
                        EXPECT_TRUE(v.reason.find("nicht zul\u00E4ssig") == 0 || v.reason == "nicht erlaubt" ||
                                    v.bound == Bound::Min)
                            << where << ": " << v.reason;
                    }
                }
            }
        }
    }
}

TEST_F(ShippedCatalogue, FindingsOnTheRealRows)
{
    struct Case {
        const char* name;
        Weld weld;
        Finding finding;
        Verdict verdict;
        const char* reason;
    };
    const Case cases[] = {
        {"undercut exactly at 0.1 t", weldOf(SeamType::Butt, QualityLevel::C, "3.3"), findingOf(13, "0.33"),
         Verdict::Accepted, "Messwert 0,33 mm \u2264 Grenzwert 0,33 mm"},
        {"gas channel longer than t", weldOf(SeamType::Butt, QualityLevel::D, "10"), findingOf(51, "2", "12"),
         Verdict::Rejected, "L\u00E4nge 12 mm > Grenzwert l 10 mm"},
        {"sharp toe angle", weldOf(SeamType::Butt, QualityLevel::C, "10"), findingOf(20, "109.5"), Verdict::Rejected,
         "Messwert 109,5\u00B0 < Mindestwert 110\u00B0"},
        {"angular misalignment", weldOf(SeamType::Butt, QualityLevel::B, "10"), findingOf(83, "1"), Verdict::Accepted,
         "Messwert 1\u00B0 \u2264 Grenzwert 1\u00B0"},
        {"local root porosity", weldOf(SeamType::Butt, QualityLevel::D, "10"), findingOf(29, "1"), Verdict::Open,
         "\u00F6rtlich zul\u00E4ssig"},
        {"crack", weldOf(SeamType::Fillet, QualityLevel::D, "10"), findingOf(1, "0.1"), Verdict::Rejected,
         "nicht zul\u00E4ssig"},
        {"micro lack of fusion", weldOf(SeamType::Fillet, QualityLevel::C, "10"), findingOf(10, "0.1"),
         Verdict::Accepted, "zul\u00E4ssig"},
        {"multiple imperfections, thin butt weld", weldOf(SeamType::Butt, QualityLevel::B, "2"), findingOf(86, "0.1"),
         Verdict::Rejected, "nicht zul\u00E4ssig"},
        {"long slag inclusion on a short weld", weldOf(SeamType::Butt, QualityLevel::C, "10", "40"),
         findingOf(59, "1", "10.5"), Verdict::Rejected, "L\u00E4nge 10,5 mm > 10 mm"},
    };
    for (const Case& c : cases) {
        const FindingVerdict v = judgeFinding(c.weld, c.finding, rows);
        EXPECT_EQ(v.verdict, c.verdict) << c.name << ": " << v.reason;
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.name << ": " << v.reason;
    }
}
