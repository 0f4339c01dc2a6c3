#include "WeldText.h"

#include <cstdint>
#include <optional>

namespace veltrano::limits {

namespace {

std::string halves(int h)
{
    return std::to_string(h / 2) + (h % 2 ? ".5" : "");
}

// The value of a JSON number text in half millimetres, when it is a whole
// number of them and not absurdly large; nullopt otherwise.
std::optional<std::int64_t> exactHalves(std::string_view s)
{
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (negative)
        ++i;
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (!digit(i))
        return std::nullopt;
    std::string digits; // significant digits
    int exponent = 0;   // value = digits * 10^exponent
    if (s[i] == '0') {
        ++i;
        if (digit(i)) // a leading zero stands alone, as in JSON
            return std::nullopt;
    } else {
        while (digit(i))
            digits += s[i++];
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (!digit(i))
            return std::nullopt;
        while (digit(i)) {
            digits += s[i++];
            --exponent;
        }
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            expNegative = s[i++] == '-';
        if (!digit(i))
            return std::nullopt;
        long e = 0;
        while (digit(i)) {
            if (e < 100000)
                e = e * 10 + (s[i] - '0');
            ++i;
        }
        exponent += static_cast<int>(expNegative ? -e : e);
    }
    if (i != s.size())
        return std::nullopt;

    // Strip leading and trailing zeros: what remains is the exact value.
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return negative ? std::nullopt : std::optional<std::int64_t>(0);
    digits.erase(0, first);
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (negative)
        return std::nullopt;
    // value * 2 must be a whole number below the largest range (2000 halves):
    // that needs at most 5 significant digits and at most one decimal.
    if (digits.size() > 6 || exponent < -1 || exponent > 6)
        return std::nullopt;
    std::int64_t n = std::stoll(digits);
    for (int e = exponent; e > 0; --e)
        n *= 10;
    if (exponent == -1) {
        if (digits.back() != '5')
            return std::nullopt;
        return n / 5; // d.5 * 2 = (10d + 5) / 5
    }
    return n * 2;
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
