#include "record/ExactNumber.h"

#include <cstdlib>

namespace veltrano::record {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Integer and decimal digits of a non-negative value, the integer part
// without leading zeros (empty below 1).
void split(const std::string& digits, int scale, std::string& whole, std::string& fraction)
{
    std::string all = digits;
    if (static_cast<int>(all.size()) < scale)
        all.insert(0, static_cast<std::size_t>(scale - static_cast<int>(all.size())), '0');
    const std::size_t cut = all.size() - static_cast<std::size_t>(scale);
    whole = all.substr(0, cut);
    fraction = all.substr(cut);
}

} // namespace

std::optional<ExactNumber> ExactNumber::parse(std::string_view text, bool allowExponent, bool* exponentTooLarge)
{
    if (exponentTooLarge)
        *exponentTooLarge = false;
    std::size_t i = 0;
    ExactNumber n;
    if (i < text.size() && text[i] == '-') {
        n.m_negative = true;
        ++i;
    }
    const std::size_t wholeStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == wholeStart)
        return std::nullopt;
    std::string digits(text.substr(wholeStart, i - wholeStart));
    int scale = 0;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == fractionStart)
            return std::nullopt;
        digits.append(text.substr(fractionStart, i - fractionStart));
        scale = static_cast<int>(i - fractionStart);
    }
    if (allowExponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        const std::size_t exponentStart = i;
        // Any number of digits; beyond the bound the size no longer matters.
        int exponent = 0;
        while (i < text.size() && isDigit(text[i])) {
            if (exponent <= kMaxExponent)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (i == exponentStart || i != text.size())
            return std::nullopt;
        if (digits.find_first_not_of('0') == std::string::npos)
            exponent = 0; // zero times any power of ten
        if (exponent > kMaxExponent) {
            if (exponentTooLarge)
                *exponentTooLarge = true;
            return std::nullopt;
        }
        scale += negativeExponent ? exponent : -exponent;
    }
    if (i != text.size())
        return std::nullopt;
    if (scale < 0) {
        digits.append(static_cast<std::size_t>(-scale), '0');
        scale = 0;
    }
    // Normal form: no leading zeros, no trailing zeros among the decimals.
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0')
        ++lead;
    digits.erase(0, lead);
    while (scale > 0 && !digits.empty() && digits.back() == '0') {
        digits.pop_back();
        --scale;
    }
    if (digits.empty()) {
        scale = 0;
        n.m_negative = false; // -0 is zero
    }
    n.m_digits = std::move(digits);
    n.m_scale = scale;
    return n;
}

ExactNumber ExactNumber::fromDecimal(Decimal v)
{
    // toString writes plain digits with a dot, which parse reads back exactly.
    return *parse(toString(v));
}

std::string ExactNumber::text(std::string_view decimalSeparator) const
{
    std::string whole, fraction;
    split(m_digits, m_scale, whole, fraction);
    std::string out = m_negative ? "-" : "";
    out += whole.empty() ? "0" : whole;
    if (!fraction.empty()) {
        out += decimalSeparator;
        out += fraction;
    }
    return out;
}

std::optional<Decimal> ExactNumber::toDecimal() const
{
    if (m_digits.size() > 18)
        return std::nullopt;
    const std::int64_t m = m_digits.empty() ? 0 : std::strtoll(m_digits.c_str(), nullptr, 10);
    return Decimal(m_negative ? -m : m, m_scale);
}

int compare(const ExactNumber& a, const ExactNumber& b)
{
    if (a.m_negative != b.m_negative)
        return a.m_negative ? -1 : 1;
    const int sign = a.m_negative ? -1 : 1;
    std::string aw, af, bw, bf;
    split(a.m_digits, a.m_scale, aw, af);
    split(b.m_digits, b.m_scale, bw, bf);
    if (aw.size() != bw.size())
        return aw.size() < bw.size() ? -sign : sign;
    if (const int c = aw.compare(bw); c != 0)
        return c < 0 ? -sign : sign;
    const std::size_t width = af.size() > bf.size() ? af.size() : bf.size();
    af.resize(width, '0');
    bf.resize(width, '0');
    if (const int c = af.compare(bf); c != 0)
        return c < 0 ? -sign : sign;
    return 0;
}

} // namespace veltrano::record
