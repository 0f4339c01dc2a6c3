#include "evaluation/Decimal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace veltrano {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

std::int64_t checkedMul(std::int64_t a, std::int64_t b)
{
    if (a == 0 || b == 0)
        return 0;
    if ((a > 0 ? a : -a) > kMax / (b > 0 ? b : -b))
        throw std::overflow_error("limit value out of exact range");
    return a * b;
}

std::int64_t checkedAdd(std::int64_t a, std::int64_t b)
{
    if ((b > 0 && a > kMax - b) || (b < 0 && a < -kMax - b))
        throw std::overflow_error("limit value out of exact range");
    return a + b;
}

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    for (int i = 0; i < n; ++i)
        p = checkedMul(p, 10);
    return p;
}

} // namespace

Decimal add(Decimal a, Decimal b)
{
    if (a.scale < b.scale)
        std::swap(a, b);
    const std::int64_t bm = checkedMul(b.mantissa, pow10(a.scale - b.scale));
    return Decimal(checkedAdd(a.mantissa, bm), a.scale);
}

Decimal multiply(Decimal a, Decimal b)
{
    return Decimal(checkedMul(a.mantissa, b.mantissa), a.scale + b.scale);
}

int compare(Decimal a, Decimal b)
{
    const int scale = a.scale > b.scale ? a.scale : b.scale;
    const std::int64_t am = checkedMul(a.mantissa, pow10(scale - a.scale));
    const std::int64_t bm = checkedMul(b.mantissa, pow10(scale - b.scale));
    return am < bm ? -1 : am > bm ? 1 : 0;
}

Decimal trimmed(Decimal v)
{
    while (v.scale > 0 && v.mantissa % 10 == 0) {
        v.mantissa /= 10;
        --v.scale;
    }
    return v;
}

Decimal decimalFromFloat(float v)
{
    if (!std::isfinite(v))
        throw std::domain_error("weld dimension is not a finite number");
    int exponent = 0;
    // v = fraction * 2^exponent with 0.5 <= |fraction| < 1; 24 bits carry it all.
    const float fraction = std::frexp(v, &exponent);
    std::int64_t m = static_cast<std::int64_t>(std::ldexp(fraction, 24));
    exponent -= 24;
    while (m != 0 && m % 2 == 0 && exponent < 0) {
        m /= 2;
        ++exponent;
    }
    if (m == 0)
        return Decimal(0, 0);
    if (exponent >= 0) {
        for (int i = 0; i < exponent; ++i)
            m = checkedMul(m, 2);
        return Decimal(m, 0);
    }
    // m * 2^-k = m * 5^k / 10^k
    const int k = -exponent;
    if (k > 18)
        throw std::domain_error("weld dimension has too many binary places for exact evaluation");
    for (int i = 0; i < k; ++i)
        m = checkedMul(m, 5);
    return Decimal(m, k);
}

std::string toString(Decimal v)
{
    const bool negative = v.mantissa < 0;
    std::string digits = std::to_string(negative ? -static_cast<unsigned long long>(v.mantissa)
                                                 : static_cast<unsigned long long>(v.mantissa));
    if (v.scale > 0) {
        if (static_cast<int>(digits.size()) <= v.scale)
            digits.insert(0, static_cast<std::size_t>(v.scale - static_cast<int>(digits.size()) + 1), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(v.scale), 1, '.');
    } else if (v.mantissa != 0) {
        digits.append(static_cast<std::size_t>(-v.scale), '0');
    }
    return negative ? "-" + digits : digits;
}

namespace {

// A non-negative integer of any size, little-endian in base 2^32: just
// enough arithmetic to compare a decimal with a binary midpoint exactly.
class Natural {
public:
    explicit Natural(std::uint64_t v)
    {
        while (v) {
            m_limbs.push_back(static_cast<std::uint32_t>(v));
            v >>= 32;
        }
    }
    void multiply(std::uint32_t factor, int times)
    {
        for (int n = 0; n < times; ++n) {
            std::uint64_t carry = 0;
            for (auto& limb : m_limbs) {
                const std::uint64_t p = static_cast<std::uint64_t>(limb) * factor + carry;
                limb = static_cast<std::uint32_t>(p);
                carry = p >> 32;
            }
            if (carry)
                m_limbs.push_back(static_cast<std::uint32_t>(carry));
        }
    }
    friend int compare(const Natural& a, const Natural& b)
    {
        if (a.m_limbs.size() != b.m_limbs.size())
            return a.m_limbs.size() < b.m_limbs.size() ? -1 : 1;
        for (std::size_t i = a.m_limbs.size(); i-- > 0;)
            if (a.m_limbs[i] != b.m_limbs[i])
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
        return 0;
    }

private:
    std::vector<std::uint32_t> m_limbs;
};

// Sign of |v| - m, exactly, for a finite non-negative double m.
int compareMagnitude(Decimal v, double m)
{
    int e = 0;
    const double fraction = std::frexp(m, &e);
    // m = p * 2^e with p a 53-bit integer.
    auto p = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    e -= 53;
    const std::uint64_t magnitude =
        v.mantissa < 0 ? 0 - static_cast<std::uint64_t>(v.mantissa) : static_cast<std::uint64_t>(v.mantissa);
    // |v| = magnitude * 10^-scale; scale both sides to integers.
    Natural a(magnitude);
    Natural b(p);
    if (v.scale < 0)
        a.multiply(10, -v.scale);
    else
        b.multiply(10, v.scale);
    if (e < 0)
        a.multiply(2, -e);
    else
        b.multiply(2, e);
    return compare(a, b);
}

} // namespace

float nearestFloat(Decimal v)
{
    // Fast path: with a mantissa below 2^53 and a power of ten that a double
    // holds exactly, one division gives the correctly rounded double.  Rounding
    // that double to float is then correct too, unless the double landed
    // exactly on the midpoint between two floats; only then go the long way.
    constexpr std::int64_t kExactInDouble = std::int64_t(1) << 53;
    if (v.scale >= 0 && v.scale <= 22 && v.mantissa > -kExactInDouble && v.mantissa < kExactInDouble) {
        static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        const double d = static_cast<double>(v.mantissa) / kPow10[v.scale];
        const float f = static_cast<float>(d);
        const float other = std::nextafter(f, d < static_cast<double>(f) ? -INFINITY : INFINITY);
        const double midpoint = (static_cast<double>(f) + static_cast<double>(other)) / 2;
        if (d != midpoint)
            return f;
    }
    // The long way: start from an approximation and move to the float whose
    // rounding interval holds the exact value, comparing with the midpoints
    // (exact in a double) without any rounding.  Ties go to the even float.
    if (v.mantissa == 0)
        return 0.0f;
    const bool negative = v.mantissa < 0;
    const double approx = std::fabs(static_cast<double>(v.mantissa) * std::pow(10.0, -v.scale));
    constexpr float kMaxFloat = std::numeric_limits<float>::max();
    // From the midpoint between the largest float and 2^128 on, the value
    // rounds to infinity (the largest float is odd, so the tie goes up too).
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (approx > std::ldexp(1.0, 127) && (approx > 2 * overflow || compareMagnitude(v, overflow) >= 0))
        return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    float f = static_cast<float>(std::min(approx, static_cast<double>(kMaxFloat)));
    for (;;) {
        const float up = std::nextafter(f, INFINITY);
        const float down = std::nextafter(f, 0.0f);
        const double upper = (static_cast<double>(f) + static_cast<double>(up)) / 2;
        const double lower = f > 0.0f ? (static_cast<double>(f) + static_cast<double>(down)) / 2 : 0.0;
        const int aboveUpper = f == kMaxFloat ? -1 : compareMagnitude(v, upper);
        if (aboveUpper > 0 || (aboveUpper == 0 && (std::bit_cast<std::uint32_t>(up) & 1) == 0)) {
            f = up;
            continue;
        }
        const int aboveLower = f > 0.0f ? compareMagnitude(v, lower) : 1;
        if (aboveLower < 0 || (aboveLower == 0 && (std::bit_cast<std::uint32_t>(down) & 1) == 0)) {
            f = down;
            continue;
        }
        return negative ? -f : f;
    }
}

} // namespace veltrano
