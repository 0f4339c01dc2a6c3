#pragma once
// A result cache whose every record text names its record ("R12"), so each
// report parameter shows where it came from.

#include "evaluation/Driver.h"

#include <array>
#include <string>

namespace veltrano::test {

using Cache = std::array<std::string, EvaluationState::kCacheSize>;

inline Cache numberedCache()
{
    Cache c{};
    for (int i = 1; i < EvaluationState::kCacheSize; ++i)
        c[static_cast<std::size_t>(i)] = "R" + std::to_string(i);
    c[0] = "Bitte Nahtbreite in mm eingeben"; // the saved hint is never reported
    return c;
}

} // namespace veltrano::test
