#include "record/Verdict.h"

#include "evaluation/CatalogueFields.h"
#include "evaluation/Driver.h"
#include "evaluation/LimitText.h"
#include "evaluation/Rules.h"
#include "evaluation/WeldWords.h"

namespace veltrano::record {
namespace {

using rules::Outcome;

constexpr std::string_view kShort = "Kurze Unregelm\u00E4\u00DFigkeiten";
constexpr std::string_view kAtLeast = " \u2265 "; // " ≥ "
constexpr std::string_view kAtMost = " \u2264 ";  // " ≤ "
constexpr std::string_view kDegree = "\u00B0";

std::string flat(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::optional<Decimal> dimension(const WrittenNumber& n)
{
    const auto v = n.value();
    if (!v || v->isNegative() || v->decimals() > 2)
        return std::nullopt;
    return v->toDecimal();
}

std::optional<rules::ExactWeld> exactWeld(const Weld& w)
{
    const auto t = dimension(w.t), l = dimension(w.l), b = dimension(w.b), bw = dimension(w.bw);
    if (!t || !l || !b || !bw)
        return std::nullopt;
    rules::ExactWeld e;
    e.t = *t;
    e.l = *l;
    e.b = *b;
    e.bw = *bw;
    e.seamType = static_cast<int>(w.seam);
    e.welderTest = w.welderTest.value_or(false);
    e.railBridge = w.railBridge.value_or(false);
    return e;
}

// "Stumpfnaht, t = 10 mm": what decides whether a row belongs to a weld.
std::string weldShape(const Weld& w, std::string_view sep)
{
    const auto t = w.t.value();
    return std::string(seamWord(w.seam)) + ", t = " + (t ? t->text(sep) : w.t.text) + " mm";
}

// ---- the catalogue's limit texts ---------------------------------------------

enum class TextClass { NotPermitted, Permitted, NotApplicable, Angle, Descriptive };

struct TextReading {
    TextClass kind = TextClass::Descriptive;
    Bound bound = Bound::None;
    ExactNumber angle;
};

// "α ≥ 150°", "β ≤ 1°": one symbol, the sign, a number of degrees.
std::optional<TextReading> readAngle(const std::string& text)
{
    for (const auto& [sign, bound] : {std::pair{kAtLeast, Bound::Min}, std::pair{kAtMost, Bound::Max}}) {
        const auto at = text.find(sign);
        if (at == std::string::npos || at == 0 || text.find(' ') < at)
            continue;
        std::string rest = text.substr(at + sign.size());
        if (rest.size() <= kDegree.size() || rest.compare(rest.size() - kDegree.size(), kDegree.size(), kDegree) != 0)
            continue;
        rest.resize(rest.size() - kDegree.size());
        if (const auto n = ExactNumber::parse(rest); n && !n->isNegative())
            return TextReading{TextClass::Angle, bound, *n};
    }
    return std::nullopt;
}

TextReading readText(const std::string& text)
{
    TextReading r;
    if (text == "nicht zul\u00E4ssig" || text == "nicht erlaubt")
        r.kind = TextClass::NotPermitted;
    else if (text == "zul\u00E4ssig")
        r.kind = TextClass::Permitted;
    else if (text == kNotApplicable)
        r.kind = TextClass::NotApplicable;
    if (r.kind != TextClass::Descriptive)
        return r;
    if (const auto angle = readAngle(text))
        return *angle;
    return r;
}

// The length criterion that follows "; l ≤ " in a row's text, as for a gas
// channel: "l ≤ s, max. 75 mm" (s and a stand for t), or "l ≤ 10 mm".
struct SecondCriterion {
    bool named = false;
    std::optional<ExactNumber> limit; // empty when the text cannot be read
    std::string clause;
};

SecondCriterion secondCriterion(const std::string& text, const rules::ExactWeld& weld)
{
    SecondCriterion c;
    const std::string marker = std::string("; l") + std::string(kAtMost);
    const auto at = text.find(marker);
    if (at == std::string::npos)
        return c;
    c.named = true;
    c.clause = text.substr(at + 2);
    std::string rest = text.substr(at + marker.size());
    std::string cap;
    if (const auto comma = rest.find(", max. "); comma != std::string::npos) {
        cap = rest.substr(comma + 7);
        rest.resize(comma);
    }
    auto millimetres = [](std::string s) -> std::optional<ExactNumber> {
        if (s.size() < 3 || s.compare(s.size() - 3, 3, " mm") != 0)
            return std::nullopt;
        s.resize(s.size() - 3);
        return ExactNumber::parse(s);
    };
    std::optional<ExactNumber> limit;
    if (rest == "s" || rest == "a" || rest == "t")
        limit = ExactNumber::fromDecimal(weld.t);
    else
        limit = millimetres(rest);
    if (limit && !cap.empty()) {
        const auto c2 = millimetres(cap);
        if (!c2)
            limit.reset();
        else if (compare(*c2, *limit) < 0)
            limit = c2;
    }
    c.limit = limit;
    return c;
}

// ---- verdicts ----------------------------------------------------------------

void compareWithLimit(FindingVerdict& v, const ExactNumber& value, std::string_view sep)
{
    const ExactNumber& limit = *v.limit;
    const int c = compare(value, limit);
    const std::string measured = "Messwert " + quantityText(value, v.unit, sep);
    const std::string bound = quantityText(limit, v.unit, sep);
    if (v.bound == Bound::Min) {
        v.verdict = c >= 0 ? Verdict::Accepted : Verdict::Rejected;
        v.reason = measured + (c >= 0 ? " \u2265 Mindestwert " : " < Mindestwert ") + bound;
    } else {
        v.verdict = c <= 0 ? Verdict::Accepted : Verdict::Rejected;
        v.reason = measured + (c <= 0 ? " \u2264 Grenzwert " : " > Grenzwert ") + bound;
    }
}

void byInspector(FindingVerdict& v, Judgement j)
{
    const std::string what = v.limitText.empty() ? "kein Grenzwert" : v.limitText;
    switch (j) {
    case Judgement::Accepted:
        v.verdict = Verdict::Accepted;
        v.reason = "vom Prüfer angenommen (" + what + ")";
        return;
    case Judgement::Rejected:
        v.verdict = Verdict::Rejected;
        v.reason = "vom Prüfer zurückgewiesen (" + what + ")";
        return;
    case Judgement::None:
        v.verdict = Verdict::Open;
        v.reason = "Bewertung durch den Prüfer nötig (" + what + ")";
        return;
    }
}

// A row whose text is the verdict, or that has no formula for this weld.
// Returns false when the finding cannot belong to the weld.
bool judgeByText(FindingVerdict& v, const Weld& weld, const Finding& f, const ExactNumber& value, std::string_view sep)
{
    const TextReading r = readText(v.limitText);
    switch (r.kind) {
    case TextClass::NotPermitted:
        v.verdict = Verdict::Rejected;
        v.reason = v.limitText;
        return true;
    case TextClass::Permitted:
        v.verdict = Verdict::Accepted;
        v.reason = v.limitText;
        return true;
    case TextClass::NotApplicable:
        v.verdict = Verdict::Open;
        v.reason = std::string(kNotApplicable) + " für diese Naht (" + weldShape(weld, sep) + ")";
        return false;
    case TextClass::Angle:
        v.limit = r.angle;
        v.bound = r.bound;
        v.unit = kDegree;
        compareWithLimit(v, value, sep);
        return true;
    case TextClass::Descriptive:
        byInspector(v, f.judgement);
        return true;
    }
    return true;
}

// Short imperfections: at most 25 mm in any 100 mm of weld, or a quarter of
// a weld shorter than 100 mm.
void checkLength(FindingVerdict& v, const Finding& f, const rules::ExactWeld& weld, std::string_view sep)
{
    const bool isShortRow = v.limitText.compare(0, kShort.size(), kShort) == 0;
    const SecondCriterion second = secondCriterion(v.limitText, weld);
    if (!isShortRow && !second.named)
        return;
    if (v.verdict == Verdict::Rejected)
        return; // the size alone decides
    const auto length = f.length ? f.length->value() : std::nullopt;
    if (!length) {
        v.verdict = worse(v.verdict, Verdict::Open);
        v.reason += "; Länge angeben";
        return;
    }
    const std::string written = "Länge " + quantityText(*length, "mm", sep);
    if (isShortRow) {
        const Decimal shortWeld(100, 0);
        const Decimal limit =
            compare(weld.l, shortWeld) < 0 ? trimmed(multiply(Decimal(25, 2), weld.l)) : Decimal(25, 0);
        const ExactNumber s = ExactNumber::fromDecimal(limit);
        if (compare(*length, s) > 0) {
            v.verdict = Verdict::Rejected;
            v.reason += "; " + written + " > " + quantityText(s, "mm", sep) + ": keine kurze Unregelmäßigkeit";
            return;
        }
        v.reason += "; " + written + " \u2264 " + quantityText(s, "mm", sep);
    }
    if (second.named) {
        if (!second.limit) {
            v.verdict = worse(v.verdict, Verdict::Open);
            v.reason += "; Länge von Hand prüfen (" + second.clause + ")";
            return;
        }
        const bool ok = compare(*length, *second.limit) <= 0;
        if (!ok)
            v.verdict = Verdict::Rejected;
        v.reason +=
            "; " + written + (ok ? " \u2264 " : " > ") + "Grenzwert l " + quantityText(*second.limit, "mm", sep);
    }
}

std::string countsText(std::size_t total, const char* one, const char* many, std::size_t rejected, std::size_t open,
                       std::size_t accepted)
{
    std::string s = std::to_string(total) + " " + (total == 1 ? one : many) + ":";
    const char* sep = " ";
    for (const auto& [n, word] :
         {std::pair{rejected, verdictWord(Verdict::Rejected)}, std::pair{open, verdictWord(Verdict::Open)},
          std::pair{accepted, verdictWord(Verdict::Accepted)}}) {
        if (n == 0)
            continue;
        s += sep + std::to_string(n) + " " + word;
        sep = ", ";
    }
    return s;
}

} // namespace

const char* verdictKey(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return "accepted";
    case Verdict::Rejected:
        return "rejected";
    case Verdict::Open:
        break;
    }
    return "open";
}

const char* verdictWord(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return "angenommen";
    case Verdict::Rejected:
        return "zurückgewiesen";
    case Verdict::Open:
        break;
    }
    return "offen";
}

std::string quantityText(const ExactNumber& n, std::string_view unit, std::string_view decimalSeparator)
{
    std::string s = n.text(decimalSeparator);
    if (unit.empty())
        return s;
    if (unit != kDegree)
        s += ' ';
    return s.append(unit);
}

std::string boundedLimitText(const ExactNumber& limit, Bound bound, std::string_view unit,
                             std::string_view decimalSeparator)
{
    constexpr std::string_view noBreakSpace = "\u00A0";
    std::string s;
    if (bound == Bound::Max)
        s.append("\u2264").append(noBreakSpace);
    else if (bound == Bound::Min)
        s.append("\u2265").append(noBreakSpace);
    s += limit.text(decimalSeparator);
    if (unit.empty())
        return s;
    if (unit != kDegree)
        s += noBreakSpace;
    return s.append(unit);
}

FindingVerdict judgeFinding(const Weld& weld, const Finding& f, const CatalogueRows& rows, std::string_view sep)
{
    FindingVerdict v;
    v.record = f.record;
    const auto value = f.value.value();
    const auto exact = exactWeld(weld);
    if (!value || value->isNegative()) {
        v.reason = "Messwert fehlt oder ist keine Zahl ab 0";
        return v;
    }
    if (!exact) {
        v.reason = "die Maße der Naht sind ungültig";
        return v;
    }
    if (f.record < 1 || f.record > rows.rowCount()) {
        v.reason = "der Katalog hat keinen Datensatz " + std::to_string(f.record);
        return v;
    }
    // The same text that the window's limit field shows for this evaluation,
    // with the welder-test records judged on the level-C text.
    const bool welderTest = weld.welderTest.value_or(false);
    const char* column = welderTest && usesWelderTestSubstitution(f.record) ? field::kLevelC : limitColumn(weld.level);
    v.limitText = flat(rows.text(f.record, column));

    bool belongs = true;
    if (containsZulaessig(v.limitText)) {
        belongs = judgeByText(v, weld, f, *value, sep);
    } else {
        const rules::ExactEvaluation e = rules::evaluateExact(weld.level, f.record, *exact);
        switch (e.outcome) {
        case Outcome::NotPermitted:
            v.verdict = Verdict::Rejected;
            v.reason = std::string(kNotPermitted) + ((e.when.bits & rules::kRailBridge) ? " (Eisenbahnbrücke)" : "");
            break;
        case Outcome::NotApplicable:
            v.verdict = Verdict::Open;
            v.reason = std::string(kNotApplicable) + " für diese Naht (" + weldShape(weld, sep) + ")";
            belongs = false;
            break;
        case Outcome::Mm:
        case Outcome::Mm2:
            v.limit = ExactNumber::fromDecimal(e.value);
            v.bound = Bound::Max;
            v.unit = e.outcome == Outcome::Mm ? "mm" : "mm\u00B2";
            compareWithLimit(v, *value, sep);
            break;
        case Outcome::CatalogueText:
        case Outcome::NoResult:
            belongs = judgeByText(v, weld, f, *value, sep);
            break;
        }
    }
    v.belongs = belongs;
    if (belongs)
        checkLength(v, f, *exact, sep);
    return v;
}

WeldVerdict judgeWeld(const Weld& weld, const CatalogueRows& rows, std::string_view sep)
{
    WeldVerdict w;
    std::size_t counts[3] = {0, 0, 0};
    for (const Finding& f : weld.findings) {
        w.findings.push_back(judgeFinding(weld, f, rows, sep));
        const Verdict v = w.findings.back().verdict;
        w.verdict = worse(w.verdict, v);
        ++counts[static_cast<int>(v)];
    }
    w.reason = weld.findings.empty()
                   ? "keine Befunde"
                   : countsText(weld.findings.size(), "Befund", "Befunde", counts[2], counts[1], counts[0]);
    return w;
}

RecordVerdict judgeRecord(const Record& record, const CatalogueRows& rows, std::string_view sep)
{
    RecordVerdict r;
    std::size_t counts[3] = {0, 0, 0};
    for (const Weld& weld : record.welds) {
        r.welds.push_back(judgeWeld(weld, rows, sep));
        const Verdict v = r.welds.back().verdict;
        r.verdict = worse(r.verdict, v);
        ++counts[static_cast<int>(v)];
    }
    if (record.welds.empty()) {
        // Nothing inspected is no acceptance: the record waits for its welds.
        r.verdict = Verdict::Open;
        r.reason = "keine Naht erfasst";
    } else {
        r.reason = countsText(record.welds.size(), "Naht", "Nähte", counts[2], counts[1], counts[0]);
    }
    return r;
}

} // namespace veltrano::record
