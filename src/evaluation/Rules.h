#pragma once
// The limit rules of the three quality levels, held as tables that read like
// the imperfection table: one row per group of records that share a rule,
// each rule a list of "condition >> result" steps tried from left to right.
//
//   row({15, 24, 28}, thin >> NotApplicable, butt >> Mm(min(0.05_k * t, 0.5_k)),
//       otherwise >> NotApplicable)
//
// Arithmetic: an uncapped formula is used at its exact decimal value.  A
// capped formula min(x, c) is first rounded to a 32-bit float and replaced by
// c only when that float is strictly greater than c, so a limit that lands
// just below a tie (0.45 as a float is 0.4499999...) prints one digit lower.

#include "evaluation/Decimal.h"
#include "evaluation/FormatFixed.h"
#include "evaluation/WeldInput.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace veltrano::rules {

using namespace veltrano::literals;

// ---- conditions -------------------------------------------------------------

enum ConditionBit : std::uint8_t {
    kThin = 1,        // t <= 3 (t = 3 lies on the thin side)
    kThick = 2,       // t > 3
    kButt = 4,        // seam-type index 0
    kFillet = 8,      // seam-type index 1
    kWelderTest = 16, // welder qualification test option ticked
    kRailBridge = 32, // railway bridge option ticked
};

// A conjunction of the bits above; no bits is the unconditional step.
struct Condition {
    std::uint8_t bits = 0;
    friend constexpr Condition operator&&(Condition a, Condition b)
    {
        return {static_cast<std::uint8_t>(a.bits | b.bits)};
    }
    friend constexpr bool operator==(Condition, Condition) = default;
};

inline constexpr Condition thin{kThin};
inline constexpr Condition thick{kThick};
inline constexpr Condition butt{kButt};
inline constexpr Condition fillet{kFillet};
inline constexpr Condition welderTest{kWelderTest};
inline constexpr Condition railBridge{kRailBridge};
inline constexpr Condition otherwise{0};

bool holds(Condition c, const WeldInput& weld);

// ---- formulas ---------------------------------------------------------------

enum class Var : std::uint8_t { none, t, l, b, bw };

inline constexpr Var t = Var::t;
inline constexpr Var l = Var::l;
inline constexpr Var b = Var::b;
inline constexpr Var bw = Var::bw;

// factor * first [* second] + addend, optionally capped; a formula without
// variables is a fixed value (the factor).  Products of three terms are formed
// left to right: 0.04 * l * b is (0.04 * l) * b.
struct Formula {
    Decimal factor{1, 0};
    Var first = Var::none;
    Var second = Var::none;
    Decimal addend{0, 0};
    bool capped = false;
    Decimal cap{0, 0};
};

constexpr Formula operator*(Decimal k, Var v)
{
    return Formula{k, v};
}
constexpr Formula operator*(Formula f, Var v)
{
    f.second = v;
    return f;
}
constexpr Formula operator+(Formula f, Decimal a)
{
    f.addend = a;
    return f;
}
constexpr Formula operator+(Formula f, int a)
{
    return f + Decimal(a, 0);
}
constexpr Formula operator+(Var v, int a)
{
    return Formula{Decimal(1, 0), v} + a;
}
constexpr Formula min(Formula f, Decimal c)
{
    f.capped = true;
    f.cap = c;
    return f;
}
constexpr Formula min(Formula f, int c)
{
    return min(f, Decimal(c, 0));
}
constexpr Formula fixed(Decimal v)
{
    return Formula{v};
}

// ---- results ----------------------------------------------------------------

enum class Outcome : std::uint8_t { NoResult, NotApplicable, NotPermitted, CatalogueText, Mm, Mm2 };

struct Result {
    Outcome outcome = Outcome::NoResult;
    Formula formula{};
};

inline constexpr Result NoResult{Outcome::NoResult};
inline constexpr Result NotApplicable{Outcome::NotApplicable};
inline constexpr Result NotPermitted{Outcome::NotPermitted};
inline constexpr Result CatalogueText{Outcome::CatalogueText};
constexpr Result Mm(Formula f)
{
    return {Outcome::Mm, f};
}
constexpr Result Mm2(Formula f)
{
    return {Outcome::Mm2, f};
}

struct Step {
    Condition when;
    Result then;
};

constexpr Step operator>>(Condition c, Result r)
{
    return {c, r};
}
constexpr Step operator>>(Condition c, Formula) = delete; // write Mm(...) or Mm2(...)

// ---- tables -----------------------------------------------------------------

struct Rule {
    std::array<Step, 4> steps{};
    int stepCount = 0;
};

struct RuleRow {
    std::array<int, 16> records{};
    int recordCount = 0;
    Rule rule;
};

template <typename... Steps>
constexpr RuleRow row(std::initializer_list<int> records, Steps... steps)
{
    static_assert(sizeof...(Steps) <= 4, "a rule has at most four steps");
    RuleRow r;
    for (int rec : records)
        r.records[static_cast<std::size_t>(r.recordCount++)] = rec;
    ((r.rule.steps[static_cast<std::size_t>(r.rule.stepCount++)] = steps), ...);
    return r;
}

// A row that names records without a rule at this level.
constexpr RuleRow noRule(std::initializer_list<int> records)
{
    return row(records, otherwise >> NoResult);
}

std::span<const RuleRow> levelB();
std::span<const RuleRow> levelC();
std::span<const RuleRow> levelD();
std::span<const RuleRow> table(QualityLevel level);

// The rule of a record at a level, or nullptr for a record the table does not name.
const Rule* find(QualityLevel level, int recNo);

// ---- evaluation -------------------------------------------------------------

// The weld with its four dimensions as exact decimals, converted once for
// all the records of a pass rather than in every formula.  A dimension
// without an exact decimal (not finite, too many binary places) is converted
// again where a formula reads it, so that it fails on the same record, with
// the same error, as a conversion in the formula itself.
class WeldValues {
public:
    WeldValues() { set(WeldInput{}); }
    explicit WeldValues(const WeldInput& weld) { set(weld); }

    // Takes over the weld; only a changed dimension is converted anew.
    // True when a dimension changed (or on the first weld).
    bool set(const WeldInput& weld);
    const WeldInput& input() const { return m_input; }
    Decimal variable(Var v) const;

private:
    WeldInput m_input;
    std::array<float, 4> m_dimensions{};
    std::array<Decimal, 4> m_exact{};
    std::array<bool, 4> m_exactKnown{};
    bool m_empty = true;
};

struct Evaluation {
    Outcome outcome = Outcome::NoResult;
    Significand18 value{}; // for Mm and Mm2
};

// The step of a rule that decides for this weld.
const Step* decidingStep(const Rule& rule, const WeldInput& weld);

// Exact value of a formula for this weld: the exact decimal of an uncapped
// formula, or the 32-bit float of a capped or fixed one.
Significand18 value(const Formula& f, const WeldInput& weld);
Significand18 value(const Formula& f, const WeldValues& weld);

Evaluation evaluate(QualityLevel level, int recNo, const WeldInput& weld);
Evaluation evaluate(QualityLevel level, int recNo, const WeldValues& weld);

// The step that decides a record for this weld, or nullptr for no result.
const Step* decidingStep(QualityLevel level, int recNo, const WeldInput& weld);

// The LimitText of an evaluation; CatalogueText takes over the given text.
std::string text(const Evaluation& e, std::string_view catalogueText, std::string_view decimalSeparator);
// The same text in place of out's content; out keeps its storage.
void assignText(std::string& out, const Evaluation& e, std::string_view catalogueText,
                std::string_view decimalSeparator);

// ---- exact evaluation -------------------------------------------------------
//
// An inspection record judges a measured imperfection against the limit
// itself, not against the text the window shows.  The same rule rows are then
// read on the weld's dimensions as written (3.3 mm stays 3.3, it never passes
// through a 32-bit float), the thickness test compares the exact t with 3, and
// min(x, c) is the exact smaller of the two: 0.1 * t with t = 3.3 is 0.33 mm.

struct ExactWeld {
    Decimal t{10, 0};
    Decimal l{100, 0};
    Decimal b{12, 0};
    Decimal bw{2, 0};
    int seamType = static_cast<int>(SeamType::Butt);
    bool welderTest = false;
    bool railBridge = false;
};

bool holds(Condition c, const ExactWeld& weld);
const Step* decidingStep(const Rule& rule, const ExactWeld& weld);

// Exact decimal value of a formula: products and sums without rounding, a cap
// as the exact minimum.
Decimal exactValue(const Formula& f, const ExactWeld& weld);

struct ExactEvaluation {
    Outcome outcome = Outcome::NoResult;
    Decimal value{};  // for Mm and Mm2
    Condition when{}; // the condition of the deciding step
};

ExactEvaluation evaluateExact(QualityLevel level, int recNo, const ExactWeld& weld);

} // namespace veltrano::rules
