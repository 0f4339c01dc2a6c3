#pragma once
// The one number formatter of the program: limit texts ("2,3 mm", "1,2E3 mm²")
// and the weld dimension fields ("10,00") are all written by FormatFixed.
//
// FormatFixed(v, p, d) keeps at most p significant digits and d decimals,
// rounds half up (away from zero), switches to the exponent form when the
// integer part needs more than p digits, and writes the caller's decimal
// separator (the user's locale's).

#include "evaluation/Decimal.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano {

// A real value as FormatFixed sees it: the first 18 significant decimal digits
// and the number of integer digits E, value = 0.D1D2...D18 * 10^E.
struct Significand18 {
    bool negative = false;
    std::uint64_t digits = 0; // D1...D18 as an integer in [10^17, 10^18), or 0
    int exponent = 0;         // E

    static Significand18 fromDecimal(Decimal v);
    static Significand18 fromFloat(float v);
    static Significand18 fromDouble(double v);
};

std::string FormatFixed(const Significand18& v, int p, int d, std::string_view decimalSeparator);

// The same text appended to out, which keeps its storage from one limit to
// the next.
void appendFormatFixed(std::string& out, const Significand18& v, int p, int d, std::string_view decimalSeparator);

inline std::string FormatFixed(Decimal v, int p, int d, std::string_view decimalSeparator)
{
    return FormatFixed(Significand18::fromDecimal(v), p, d, decimalSeparator);
}

inline std::string FormatFixed(float v, int p, int d, std::string_view decimalSeparator)
{
    return FormatFixed(Significand18::fromFloat(v), p, d, decimalSeparator);
}

inline std::string FormatFixed(double v, int p, int d, std::string_view decimalSeparator)
{
    return FormatFixed(Significand18::fromDouble(v), p, d, decimalSeparator);
}

} // namespace veltrano
