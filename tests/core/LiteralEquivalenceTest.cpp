// The limits are computed in exact decimal arithmetic.  The figures inspectors
// know come from evaluating each formula in 80-bit extended precision (64-bit
// significand, decimal factors held as their nearest extended values), rounding
// a capped value to a 32-bit float before the cap test, and formatting through
// an 18-digit significand.  Where `long double` is that very format (x86-64
// with GCC or Clang), this test runs that literal arithmetic beside the exact
// one over every weld the input fields can hold, rule by rule, and demands the
// same text.

#include "evaluation/Rules.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veltrano;
using namespace veltrano::rules;

#if defined(__x86_64__) && LDBL_MANT_DIG == 64

namespace {

long double extended(Decimal d)
{
    // strtold rounds the decimal text to the nearest extended value.
    return std::strtold(toString(d).c_str(), nullptr);
}

long double pow10x(int n)
{
    long double p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10; // exact up to 10^27 in a 64-bit significand
    return p;
}

// Steps 2 to 4 of the formatter in extended precision: the number of integer
// digits E and the 18-digit significand N = round(|v| * 10^(18 - E)).
Significand18 literalSignificand(long double v)
{
    Significand18 s;
    if (v == 0)
        return s;
    s.negative = v < 0;
    const long double a = std::fabs(v);
    int e = 0;
    while (a >= pow10x(e))
        ++e;
    while (e > -20 && a * pow10x(1 - e) < 1)
        --e;
    long double n = std::nearbyint(a * pow10x(18 - e));
    if (n >= 1e18L) {
        n = std::nearbyint(n / 10);
        ++e;
    }
    s.digits = static_cast<std::uint64_t>(n);
    s.exponent = e;
    return s;
}

float input(Var v, const WeldInput& w)
{
    switch (v) {
    case Var::t:
        return w.t;
    case Var::l:
        return w.l;
    case Var::b:
        return w.b;
    case Var::bw:
        return w.bw;
    case Var::none:
        break;
    }
    return 1;
}

Significand18 literalValue(const Formula& f, const WeldInput& w)
{
    if (f.first == Var::none)
        return literalSignificand(static_cast<float>(extended(f.factor)));
    long double x = extended(f.factor) * static_cast<long double>(input(f.first, w));
    if (f.second != Var::none)
        x = x * static_cast<long double>(input(f.second, w));
    x = x + extended(f.addend);
    if (!f.capped)
        return literalSignificand(x);
    float v = static_cast<float>(x);
    const float cap = static_cast<float>(extended(f.cap));
    if (v > cap)
        v = cap;
    return literalSignificand(v);
}

struct Reads {
    bool formulaT = false, l = false, b = false, bw = false, threshold = false, seam = false, welder = false,
         rail = false;
};

Reads readsOf(const Rule& rule)
{
    Reads r;
    for (int i = 0; i < rule.stepCount; ++i) {
        const Step& s = rule.steps[static_cast<std::size_t>(i)];
        r.threshold |= (s.when.bits & (kThin | kThick)) != 0;
        r.seam |= (s.when.bits & (kButt | kFillet)) != 0;
        r.welder |= (s.when.bits & kWelderTest) != 0;
        r.rail |= (s.when.bits & kRailBridge) != 0;
        if (s.then.outcome == Outcome::Mm || s.then.outcome == Outcome::Mm2) {
            for (Var v : {s.then.formula.first, s.then.formula.second}) {
                r.formulaT |= v == Var::t;
                r.l |= v == Var::l;
                r.b |= v == Var::b;
                r.bw |= v == Var::bw;
            }
        }
    }
    return r;
}

std::vector<float> steps(float from, float to, float step)
{
    std::vector<float> v;
    for (int i = 0; from + static_cast<float>(i) * step <= to; ++i)
        v.push_back(from + static_cast<float>(i) * step);
    return v;
}

TEST(LiteralEquivalence, EveryRuleOverTheWholeInputDomain)
{
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    const std::vector<float> allT = steps(0.5f, 1000, 0.5f);
    const std::vector<float> allL = steps(1, 1000, 1);
    const std::vector<float> allB = steps(1, 100, 1);
    const std::vector<float> allBw = steps(1, 50, 0.5f);
    const std::vector<float> thresholdT = {0.5f, 2.5f, 3, 3.5f, 1000};

    long long compared = 0;
    for (QualityLevel level : {QualityLevel::B, QualityLevel::C, QualityLevel::D}) {
        for (const RuleRow& row : table(level)) {
            const Reads r = readsOf(row.rule);
            const std::vector<float>& ts = r.formulaT ? allT : r.threshold ? thresholdT : std::vector<float>{10};
            const std::vector<float>& ls = r.l ? allL : std::vector<float>{100};
            const std::vector<float>& bs = r.b ? allB : std::vector<float>{12};
            const std::vector<float>& bws = r.bw ? allBw : std::vector<float>{2};
            const std::vector<int> seams = r.seam ? std::vector<int>{0, 1, -1} : std::vector<int>{0};
            const std::vector<bool> welder = r.welder ? std::vector<bool>{false, true} : std::vector<bool>{false};
            const std::vector<bool> rail = r.rail ? std::vector<bool>{false, true} : std::vector<bool>{false};
            int failures = 0;
            WeldInput w;
            for (int seam : seams)
                for (bool wt : welder)
                    for (bool rb : rail)
                        for (float t : ts)
                            for (float l : ls)
                                for (float b : bs)
                                    for (float bw : bws) {
                                        w.t = t;
                                        w.l = l;
                                        w.b = b;
                                        w.bw = bw;
                                        w.seamType = seam;
                                        w.welderTest = wt;
                                        w.railBridge = rb;
                                        const Step* step = decidingStep(row.rule, w);
                                        ASSERT_NE(step, nullptr);
                                        if (step->then.outcome != Outcome::Mm && step->then.outcome != Outcome::Mm2)
                                            continue;
                                        const Evaluation exact{step->then.outcome, value(step->then.formula, w)};
                                        const Evaluation literal{step->then.outcome,
                                                                 literalValue(step->then.formula, w)};
                                        ++compared;
                                        const std::string got = text(exact, "", ",");
                                        const std::string want = text(literal, "", ",");
                                        if (got != want && ++failures <= 5) {
                                            ADD_FAILURE()
                                                << "level " << static_cast<int>(level) << " record " << row.records[0]
                                                << " t=" << t << " l=" << l << " b=" << b << " bw=" << bw
                                                << " seam=" << seam << ": exact " << got << ", extended " << want;
                                        }
                                    }
            EXPECT_EQ(failures, 0) << "level " << static_cast<int>(level) << " record " << row.records[0];
        }
    }
    EXPECT_GT(compared, 2'000'000);
    std::printf("compared %lld limit texts\n", compared);
}

} // namespace

#else

TEST(LiteralEquivalence, EveryRuleOverTheWholeInputDomain)
{
    GTEST_SKIP() << "long double is not the 80-bit extended format on this platform";
}

#endif
