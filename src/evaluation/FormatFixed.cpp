#include "evaluation/FormatFixed.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace veltrano {
namespace {

constexpr std::uint64_t kTen18 = 1'000'000'000'000'000'000ULL;

// Rounds an integer to one digit less, ties to even.
std::uint64_t dropDigitTiesEven(std::uint64_t n)
{
    const std::uint64_t q = n / 10;
    const std::uint64_t r = n % 10;
    if (r > 5 || (r == 5 && (q % 2) == 1))
        return q + 1;
    return q;
}

// Reads the output of to_chars(scientific, 17): "d.ddddddddddddddddde+XX".
Significand18 fromScientific(const char* first, const char* last)
{
    Significand18 s;
    if (first != last && *first == '-') {
        s.negative = true;
        ++first;
    }
    std::uint64_t digits = 0;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    int exp10 = 0;
    if (p != last) {
        ++p;
        std::from_chars(p + (*p == '+' ? 1 : 0), last, exp10);
    }
    if (digits == 0)
        return Significand18{};
    s.digits = digits;
    s.exponent = exp10 + 1;
    return s;
}

template <typename Float>
Significand18 fromBinary(Float v)
{
    if (!std::isfinite(v) || v == 0)
        return Significand18{};
    // to_chars with a precision is exact: it rounds the binary value's full
    // decimal expansion to 18 significant digits, ties to even.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 17);
    return fromScientific(buf, res.ptr);
}

} // namespace

Significand18 Significand18::fromDecimal(Decimal v)
{
    Significand18 s;
    if (v.mantissa == 0)
        return s;
    s.negative = v.mantissa < 0;
    std::uint64_t m = s.negative ? 0 - static_cast<std::uint64_t>(v.mantissa) : static_cast<std::uint64_t>(v.mantissa);
    int count = 0;
    for (std::uint64_t x = m; x != 0; x /= 10)
        ++count;
    s.exponent = count - v.scale;
    if (count > 18) {
        // A 64-bit mantissa has at most 19 digits: one to drop.
        m = dropDigitTiesEven(m);
        if (m >= kTen18) {
            m = dropDigitTiesEven(m);
            ++s.exponent;
        }
    } else {
        for (int i = count; i < 18; ++i)
            m *= 10;
    }
    s.digits = m;
    return s;
}

Significand18 Significand18::fromFloat(float v)
{
    return fromBinary(v);
}

Significand18 Significand18::fromDouble(double v)
{
    return fromBinary(v);
}

void appendFormatFixed(std::string& out, const Significand18& v, int p, int d, std::string_view decimalSeparator)
{
    p = std::clamp(p, 2, 18);
    d = std::clamp(d, 0, 18);

    // The digits are worked on in small buffers on the stack: a limit text is
    // written for every record of every weld, so nothing here allocates.
    char digits[20]; // the kept significant digits, no trailing zeros
    int count = 0;
    int e = 0;
    bool negative = false;

    if (v.digits != 0) {
        char all[24] = {}; // D1..D18
        const int allCount = static_cast<int>(std::to_chars(all, all + sizeof all, v.digits).ptr - all);
        e = v.exponent;
        int n = e + d;
        if (n >= 0) {
            n = std::min(n, p);
            count = std::min(n, allCount);
            std::copy(all, all + count, digits);
            if (n < 18 && n < allCount && all[n] >= '5') {
                // Half up: one unit in the last kept place, the carry running through nines.
                int i = count - 1;
                while (i >= 0 && digits[i] == '9') {
                    digits[i] = '0';
                    --i;
                }
                if (i < 0) {
                    digits[0] = '1';
                    count = 1;
                    ++e;
                } else {
                    ++digits[i];
                }
            }
            while (count > 0 && digits[count - 1] == '0')
                --count;
        }
        if (count == 0)
            e = 0;
        else
            negative = v.negative;
    }

    out.reserve(out.size() + 24 + decimalSeparator.size());
    if (negative)
        out += '-';

    auto digitAt = [&](int i) { return i < count ? digits[i] : '0'; };

    if (e > p) {
        out += digits[0];
        if (count > 1) {
            out += decimalSeparator;
            out.append(digits + 1, static_cast<std::size_t>(count - 1));
        }
        out += 'E';
        const int shown = e - 1;
        if (shown < 0)
            out += '-';
        char expDigits[16];
        const int expCount =
            static_cast<int>(std::to_chars(expDigits, expDigits + sizeof expDigits, std::abs(shown)).ptr - expDigits);
        const int width = d <= 4 ? d : 1;
        if (expCount < width)
            out.append(static_cast<std::size_t>(width - expCount), '0');
        out.append(expDigits, static_cast<std::size_t>(expCount));
        return;
    }

    if (e <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < e; ++i)
            out += digitAt(i);
    }
    if (d > 0) {
        out += decimalSeparator;
        int written = 0;
        int next = 0; // index of the next kept digit
        if (e < 0) {
            const int zeros = std::min(-e, d);
            out.append(static_cast<std::size_t>(zeros), '0');
            written = zeros;
        } else {
            next = e;
        }
        for (; written < d; ++written, ++next)
            out += digitAt(next);
    }
}

std::string FormatFixed(const Significand18& v, int p, int d, std::string_view decimalSeparator)
{
    std::string out;
    appendFormatFixed(out, v, p, d, decimalSeparator);
    return out;
}

} // namespace veltrano
