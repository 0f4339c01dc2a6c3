#include "Rules.h"

#include "LimitText.h"

namespace veltrano::rules {

bool holds(Condition c, const WeldInput& weld)
{
    // t is compared as the 32-bit value with the exact 3: t = 3 is thin.
    if ((c.bits & kThin) && !(weld.t <= 3.0f))
        return false;
    if ((c.bits & kThick) && !(weld.t > 3.0f))
        return false;
    if ((c.bits & kButt) && !weld.isButtWeld())
        return false;
    if ((c.bits & kFillet) && !weld.isFilletWeld())
        return false;
    if ((c.bits & kWelderTest) && !weld.welderTest)
        return false;
    if ((c.bits & kRailBridge) && !weld.railBridge)
        return false;
    return true;
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

Decimal variable(Var v, const WeldInput& weld)
{
    switch (v) {
    case Var::t:
        return decimalFromFloat(weld.t);
    case Var::l:
        return decimalFromFloat(weld.l);
    case Var::b:
        return decimalFromFloat(weld.b);
    case Var::bw:
        return decimalFromFloat(weld.bw);
    case Var::none:
        break;
    }
    return Decimal(1, 0);
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
    for (int i = 0; i < rule.stepCount; ++i) {
        const Step& s = rule.steps[static_cast<std::size_t>(i)];
        if (holds(s.when, weld))
            return &s;
    }
    return nullptr;
}

Significand18 value(const Formula& f, const WeldInput& weld)
{
    Decimal x = f.factor;
    if (f.first != Var::none)
        x = multiply(x, variable(f.first, weld));
    if (f.second != Var::none)
        x = multiply(x, variable(f.second, weld));
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

Evaluation evaluate(QualityLevel level, int recNo, const WeldInput& weld)
{
    const Rule* rule = find(level, recNo);
    if (!rule)
        return {};
    const Step* step = decidingStep(*rule, weld);
    if (!step)
        return {};
    Evaluation e;
    e.outcome = step->then.outcome;
    if (e.outcome == Outcome::Mm || e.outcome == Outcome::Mm2)
        e.value = value(step->then.formula, weld);
    return e;
}

std::string text(const Evaluation& e, std::string_view catalogueText, std::string_view decimalSeparator)
{
    switch (e.outcome) {
    case Outcome::NoResult:
        return {};
    case Outcome::NotApplicable:
        return std::string(kNotApplicable);
    case Outcome::NotPermitted:
        return std::string(kNotPermitted);
    case Outcome::CatalogueText:
        return std::string(catalogueText);
    case Outcome::Mm:
        return Mm(e.value, decimalSeparator);
    case Outcome::Mm2:
        return Mm2(e.value, decimalSeparator);
    }
    return {};
}

} // namespace veltrano::rules
