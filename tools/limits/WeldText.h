#pragma once
// Reading a weld from text: the dimensions as exact decimals checked against
// the ranges and steps of the window's fields, the seam type and the level.

#include "evaluation/DimensionRange.h"
#include "evaluation/WeldInput.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::limits {

// A value the caller gave that the tool cannot take; the text says which
// option or key and what it accepts.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "t accepts a number from 0.5 to 1000 in steps of 0.5 mm"; prefix is "--"
// for a command-line option and empty for a JSON key.
std::string describe(const DimensionRange& range, std::string_view prefix);

// The dimension spelled by a number in JSON's notation (a dot, an optional
// exponent), read from its characters: 10.50 and 1.05e1 are 10.5 exactly,
// 10.3 is not a step of 0.5 and no binary rounding ever makes it one.
// Throws UsageError with describe(range, prefix).
float dimensionFromText(std::string_view text, const DimensionRange& range, std::string_view prefix);

// "butt", "fillet" or "none" (no seam type selected: index -1).
int seamFromText(std::string_view text, std::string_view prefix);

// "B", "C" or "D" (either case).
QualityLevel levelFromText(std::string_view text, std::string_view prefix);

} // namespace veltrano::limits
