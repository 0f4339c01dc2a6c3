#pragma once
// The result texts of one evaluation.  Results are stored, shown and printed
// as texts, never as numbers.

#include "evaluation/FormatFixed.h"

#include <string>
#include <string_view>

namespace veltrano {

inline constexpr std::string_view kNotApplicable = "nicht zutreffend";
inline constexpr std::string_view kNotPermitted = "nicht zulässig";

// A length limit: two significant digits, one decimal, " mm".
inline void appendMm(std::string& out, const Significand18& v, std::string_view sep)
{
    appendFormatFixed(out, v, 2, 1, sep);
    out += " mm";
}

// An area limit: three significant digits, one decimal, " mm²".
inline void appendMm2(std::string& out, const Significand18& v, std::string_view sep)
{
    appendFormatFixed(out, v, 3, 1, sep);
    out += " mm\u00B2";
}

inline std::string Mm(const Significand18& v, std::string_view sep)
{
    std::string out;
    appendMm(out, v, sep);
    return out;
}

inline std::string Mm2(const Significand18& v, std::string_view sep)
{
    std::string out;
    appendMm2(out, v, sep);
    return out;
}

// The catalogue's verdict test: a limit text that contains "zulässig" is the
// result itself.  Only the ASCII capitals A to Z are lowered, so "ZULÄSSIG"
// (with a capital umlaut) is not recognised.
bool containsZulaessig(std::string_view text);

} // namespace veltrano
