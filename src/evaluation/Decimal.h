#pragma once
// Exact decimal numbers for the limit arithmetic.
//
// Every weld dimension the program can hold is a multiple of 0.5 mm and every
// factor of the rules has at most three decimals, so the limits are computed
// exactly in decimal.  This gives the same digits on every compiler and
// processor, independent of how wide `long double` happens to be.

#include <cstdint>
#include <string>

namespace veltrano {

// value = mantissa * 10^-scale
struct Decimal {
    std::int64_t mantissa = 0;
    int scale = 0;

    constexpr Decimal() = default;
    constexpr Decimal(std::int64_t m, int s = 0) : mantissa(m), scale(s) {}

    friend constexpr bool operator==(const Decimal&, const Decimal&) = default;
};

// Exact sum and product; throw std::overflow_error when the exact result
// does not fit (far outside the dimensions the input fields allow).
Decimal add(Decimal a, Decimal b);
Decimal multiply(Decimal a, Decimal b);

// Compares the values, whatever the scales: negative, zero or positive as a
// is below, equal to or above b.  Throws std::overflow_error like add().
int compare(Decimal a, Decimal b);

// The same value with the trailing zeros of its decimals removed (1.500 -> 1.5).
Decimal trimmed(Decimal v);

// Exact decimal value of a 32-bit float; throws std::domain_error when the
// float has more binary places than an exact 64-bit decimal can carry.
Decimal decimalFromFloat(float v);

// Nearest 32-bit float (ties to even) of the exact value.
float nearestFloat(Decimal v);

// Plain decimal text with a dot, e.g. "0.05"; used for diagnostics and tests.
std::string toString(Decimal v);

// A decimal constant of a rule, written as it stands in the tables: 0.05_k.
// The raw literal operator sees the characters, so no binary rounding ever
// touches the constant.
namespace literals {
consteval Decimal operator""_k(const char* s)
{
    std::int64_t m = 0;
    int scale = 0;
    bool fraction = false;
    for (; *s; ++s) {
        if (*s == '.') {
            fraction = true;
            continue;
        }
        if (*s == '\'')
            continue;
        if (*s < '0' || *s > '9')
            throw "a rule constant is a plain decimal number";
        m = m * 10 + (*s - '0');
        if (fraction)
            ++scale;
    }
    return Decimal(m, scale);
}
} // namespace literals

} // namespace veltrano
