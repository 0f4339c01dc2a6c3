#pragma once
// A decimal number exactly as it is written in an inspection record: "0.33",
// "0,33" or the JSON token 3.3e-1 all spell 33 hundredths, and nothing on the
// way passes through binary floating point.  A measured value may carry any
// number of digits, so the digits are kept as text.

#include "evaluation/Decimal.h"

#include <optional>
#include <string>
#include <string_view>

namespace veltrano::record {

class ExactNumber {
public:
    ExactNumber() = default;

    // Digits with an optional "-" in front and an optional decimal part after
    // "." or ",".  The exponent form (1e-3) is read only where allowed: a JSON
    // number token may use it, a text in quotes may not.  Read exactly:
    // 1e-401 is a tiny positive number, 0e999 is zero.  An exponent beyond
    // kMaxExponent (in size) of a number that is not zero is refused, and
    // *exponentTooLarge says so: the digits it would take are never made.
    static std::optional<ExactNumber> parse(std::string_view text, bool allowExponent = false,
                                            bool* exponentTooLarge = nullptr);
    static constexpr int kMaxExponent = 1000;
    static ExactNumber fromDecimal(Decimal v);

    bool isNegative() const { return m_negative; }
    bool isZero() const { return m_digits.empty(); }
    // Number of decimals after dropping trailing zeros (3.30 has one).
    int decimals() const { return m_scale; }

    // Plain decimal text with the given separator: "0,33", "25", "0.001".
    std::string text(std::string_view decimalSeparator = ".") const;

    // The value as a rule's Decimal, when its digits fit (at most 18 of them).
    std::optional<Decimal> toDecimal() const;

    friend int compare(const ExactNumber& a, const ExactNumber& b);
    friend bool operator==(const ExactNumber& a, const ExactNumber& b) { return compare(a, b) == 0; }

private:
    bool m_negative = false;
    std::string m_digits; // no leading zeros; empty for zero
    int m_scale = 0;      // m_digits * 10^-m_scale; no trailing zeros among the decimals
};

} // namespace veltrano::record
