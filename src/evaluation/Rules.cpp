#include "evaluation/Rules.h"

#include "evaluation/LimitText.h"

#include <bit>
#include <exception>

namespace veltrano::rules {

namespace {

// One reading of the condition bits for both kinds of weld; only the
// thickness test differs between them.
bool holdsFor(Condition c, bool thinWeld, int seamType, bool welderTestOption, bool railBridgeOption)
{
    if ((c.bits & kThin) && !thinWeld)
        return false;
    if ((c.bits & kThick) && thinWeld)
        return false;
    if ((c.bits & kButt) && seamType != static_cast<int>(SeamType::Butt))
        return false;
    if ((c.bits & kFillet) && seamType != static_cast<int>(SeamType::Fillet))
        return false;
    if ((c.bits & kWelderTest) && !welderTestOption)
        return false;
    if ((c.bits & kRailBridge) && !railBridgeOption)
        return false;
    return true;
}

template <typename Weld>
const Step* firstHolding(const Rule& rule, const Weld& weld)
{
    for (int i = 0; i < rule.stepCount; ++i) {
        const Step& s = rule.steps[static_cast<std::size_t>(i)];
        if (holds(s.when, weld))
            return &s;
    }
    return nullptr;
}

} // namespace

bool holds(Condition c, const WeldInput& weld)
{
    // t is compared as the 32-bit value with the exact 3: t = 3 is thin.
    return holdsFor(c, weld.t <= 3.0f, weld.seamType, weld.welderTest, weld.railBridge);
}

bool holds(Condition c, const ExactWeld& weld)
{
    return holdsFor(c, compare(weld.t, Decimal(3, 0)) <= 0, weld.seamType, weld.welderTest, weld.railBridge);
}

std::span<const RuleRow> table(QualityLevel level)
{
    switch (level) {
    case QualityLevel::B:
        return levelB();
    case QualityLevel::C:
        return levelC();
    case QualityLevel::D:
        return levelD();
    }
    return {};
}

namespace {

struct Index {
    std::array<const Rule*, 91> byRecord{};
    explicit Index(std::span<const RuleRow> rows)
    {
        for (const RuleRow& r : rows) {
            for (int i = 0; i < r.recordCount; ++i) {
                const int rec = r.records[static_cast<std::size_t>(i)];
                if (rec >= 0 && rec < static_cast<int>(byRecord.size()))
                    byRecord[static_cast<std::size_t>(rec)] = &r.rule;
            }
        }
    }
};

std::size_t dimensionIndex(Var v)
{
    switch (v) {
    case Var::t:
        return 0;
    case Var::l:
        return 1;
    case Var::b:
        return 2;
    case Var::bw:
        return 3;
    case Var::none:
        break;
    }
    return 4;
}

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

} // namespace

const Rule* find(QualityLevel level, int recNo)
{
    static const Index b(levelB()), c(levelC()), d(levelD());
    if (recNo < 0 || recNo > 90)
        return nullptr;
    const auto i = static_cast<std::size_t>(recNo);
    switch (level) {
    case QualityLevel::B:
        return b.byRecord[i];
    case QualityLevel::C:
        return c.byRecord[i];
    case QualityLevel::D:
        return d.byRecord[i];
    }
    return nullptr;
}

const Step* decidingStep(const Rule& rule, const WeldInput& weld)
{
    return firstHolding(rule, weld);
}

const Step* decidingStep(const Rule& rule, const ExactWeld& weld)
{
    return firstHolding(rule, weld);
}

bool WeldValues::set(const WeldInput& weld)
{
    const std::array<float, 4> dimensions{weld.t, weld.l, weld.b, weld.bw};
    bool changed = m_empty;
    for (std::size_t i = 0; i < dimensions.size(); ++i) {
        if (!m_empty && sameBits(dimensions[i], m_dimensions[i]))
            continue;
        changed = true;
        m_dimensions[i] = dimensions[i];
        try {
            m_exact[i] = decimalFromFloat(dimensions[i]);
            m_exactKnown[i] = true;
        } catch (const std::exception&) {
            m_exactKnown[i] = false; // raised again where a formula reads it
        }
    }
    m_input = weld;
    m_empty = false;
    return changed;
}

Decimal WeldValues::variable(Var v) const
{
    const std::size_t i = dimensionIndex(v);
    if (i >= m_dimensions.size())
        return Decimal(1, 0);
    return m_exactKnown[i] ? m_exact[i] : decimalFromFloat(m_dimensions[i]);
}

Significand18 value(const Formula& f, const WeldValues& weld)
{
    Decimal x = f.factor;
    if (f.first != Var::none)
        x = multiply(x, weld.variable(f.first));
    if (f.second != Var::none)
        x = multiply(x, weld.variable(f.second));
    x = add(x, f.addend);
    if (f.first == Var::none)
        return Significand18::fromFloat(nearestFloat(x)); // a fixed 32-bit constant
    if (!f.capped)
        return Significand18::fromDecimal(x);
    // The capped value is held as a 32-bit float before the cap test, and only
    // a float strictly above the cap is replaced: a value equal to it stays.
    float v = nearestFloat(x);
    const float cap = nearestFloat(f.cap);
    if (v > cap)
        v = cap;
    return Significand18::fromFloat(v);
}

Significand18 value(const Formula& f, const WeldInput& weld)
{
    return value(f, WeldValues(weld));
}

const Step* decidingStep(QualityLevel level, int recNo, const WeldInput& weld)
{
    const Rule* rule = find(level, recNo);
    return rule ? decidingStep(*rule, weld) : nullptr;
}

Evaluation evaluate(QualityLevel level, int recNo, const WeldValues& weld)
{
    const Step* step = decidingStep(level, recNo, weld.input());
    if (!step)
        return {};
    Evaluation e;
    e.outcome = step->then.outcome;
    if (e.outcome == Outcome::Mm || e.outcome == Outcome::Mm2)
        e.value = value(step->then.formula, weld);
    return e;
}

Evaluation evaluate(QualityLevel level, int recNo, const WeldInput& weld)
{
    return evaluate(level, recNo, WeldValues(weld));
}

Decimal exactValue(const Formula& f, const ExactWeld& weld)
{
    auto variable = [&](Var v) {
        switch (v) {
        case Var::t:
            return weld.t;
        case Var::l:
            return weld.l;
        case Var::b:
            return weld.b;
        case Var::bw:
            return weld.bw;
        case Var::none:
            break;
        }
        return Decimal(1, 0);
    };
    Decimal x = f.factor;
    if (f.first != Var::none)
        x = multiply(x, variable(f.first));
    if (f.second != Var::none)
        x = multiply(x, variable(f.second));
    x = add(x, f.addend);
    if (f.capped && compare(x, f.cap) > 0)
        x = f.cap;
    return trimmed(x);
}

ExactEvaluation evaluateExact(QualityLevel level, int recNo, const ExactWeld& weld)
{
    const Rule* rule = find(level, recNo);
    if (!rule)
        return {};
    const Step* step = decidingStep(*rule, weld);
    if (!step)
        return {};
    ExactEvaluation e;
    e.outcome = step->then.outcome;
    e.when = step->when;
    if (e.outcome == Outcome::Mm || e.outcome == Outcome::Mm2)
        e.value = exactValue(step->then.formula, weld);
    return e;
}

void assignText(std::string& out, const Evaluation& e, std::string_view catalogueText,
                std::string_view decimalSeparator)
{
    out.clear();
    switch (e.outcome) {
    case Outcome::NoResult:
        return;
    case Outcome::NotApplicable:
        out += kNotApplicable;
        return;
    case Outcome::NotPermitted:
        out += kNotPermitted;
        return;
    case Outcome::CatalogueText:
        out += catalogueText;
        return;
    case Outcome::Mm:
        appendMm(out, e.value, decimalSeparator);
        return;
    case Outcome::Mm2:
        appendMm2(out, e.value, decimalSeparator);
        return;
    }
}

std::string text(const Evaluation& e, std::string_view catalogueText, std::string_view decimalSeparator)
{
    std::string out;
    assignText(out, e, catalogueText, decimalSeparator);
    return out;
}

} // namespace veltrano::rules
