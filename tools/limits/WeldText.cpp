#include "WeldText.h"

#include "evaluation/Decimal.h"
#include "record/ExactNumber.h"

#include <cstdint>
#include <optional>

namespace veltrano::limits {

namespace {

std::string halves(int h)
{
    return std::to_string(h / 2) + (h % 2 ? ".5" : "");
}

// The value of a number text (JSON's notation: a dot, an optional exponent)
// in half millimetres, when it is a whole number of them; nullopt otherwise.
std::optional<std::int64_t> exactHalves(std::string_view s)
{
    // Numbers on the command line and in batch lines are written with a dot.
    // A leading zero stands alone, as in JSON (010 is no number there).
    if (s.find(',') != std::string_view::npos || (s.size() > 1 && s[0] == '0' && s[1] >= '0' && s[1] <= '9'))
        return std::nullopt;
    const auto n = record::ExactNumber::parse(s, true);
    if (!n || n->isNegative())
        return std::nullopt;
    auto d = n->toDecimal();
    if (!d || d->scale > 1)
        return std::nullopt;
    // 1e3 is held as 1 with scale -3: write it out, far above any range stops.
    for (; d->scale < 0; ++d->scale) {
        if (d->mantissa > 1000000)
            return std::nullopt;
        d->mantissa *= 10;
    }
    try {
        const Decimal twice = multiply(*d, Decimal(2));
        if (twice.scale == 0)
            return twice.mantissa;
        if (twice.mantissa % 10 != 0)
            return std::nullopt;
        return twice.mantissa / 10;
    } catch (const std::overflow_error&) {
        return std::nullopt;
    }
}

} // namespace

std::string describe(const DimensionRange& r, std::string_view prefix)
{
    return std::string(prefix) + r.name + " accepts a number from " + halves(r.minHalves) + " to " +
           halves(r.maxHalves) + (r.stepHalves == 2 ? " in whole millimetres" : " in steps of 0.5 mm");
}

float dimensionFromText(std::string_view text, const DimensionRange& r, std::string_view prefix)
{
    const auto h = exactHalves(text);
    if (!h || *h < r.minHalves || *h > r.maxHalves || *h % r.stepHalves != 0)
        throw UsageError(describe(r, prefix));
    // A multiple of 0.5 below 1000 is exact in a 32-bit float.
    return static_cast<float>(*h) / 2.0f;
}

int seamFromText(std::string_view text, std::string_view prefix)
{
    if (text == "butt")
        return static_cast<int>(SeamType::Butt);
    if (text == "fillet")
        return static_cast<int>(SeamType::Fillet);
    if (text == "none")
        return -1;
    throw UsageError(std::string(prefix) + "seam accepts butt, fillet or none");
}

QualityLevel levelFromText(std::string_view text, std::string_view prefix)
{
    if (text == "B" || text == "b")
        return QualityLevel::B;
    if (text == "C" || text == "c")
        return QualityLevel::C;
    if (text == "D" || text == "d")
        return QualityLevel::D;
    throw UsageError(std::string(prefix) + "level accepts B, C or D");
}

} // namespace veltrano::limits
