#pragma once
// The words for seam types and quality levels as the program shows and
// prints them, in the selectors of both windows, the report, the printed
// record and the check.

#include "evaluation/WeldInput.h"

namespace veltrano {

// "Stumpfnaht", "Kehlnaht".
constexpr const char* seamWord(SeamType seam)
{
    return seam == SeamType::Fillet ? "Kehlnaht" : "Stumpfnaht";
}

// "B", "C", "D".
constexpr const char* levelLetter(QualityLevel level)
{
    switch (level) {
    case QualityLevel::B:
        return "B";
    case QualityLevel::C:
        return "C";
    case QualityLevel::D:
        break;
    }
    return "D";
}

// "B (hoch)", "C (mittel)", "D (niedrig)": the items of the level selectors.
constexpr const char* levelWord(QualityLevel level)
{
    switch (level) {
    case QualityLevel::B:
        return "B (hoch)";
    case QualityLevel::C:
        return "C (mittel)";
    case QualityLevel::D:
        break;
    }
    return "D (niedrig)";
}

} // namespace veltrano
