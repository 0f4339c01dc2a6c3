#pragma once
// The range and the step of each weld dimension, as the main window's spin
// fields hold them.  The record file, the command-line tool and the windows
// all check a dimension against these numbers.

#include "evaluation/Decimal.h"

namespace veltrano {

struct DimensionRange {
    const char* name; // "t", "l", "b", "bw"
    int minHalves;    // minimum in half millimetres
    int maxHalves;    // maximum in half millimetres
    int stepHalves;   // 1: steps of 0.5 mm, 2: whole millimetres

    constexpr double minimum() const { return minHalves / 2.0; }
    constexpr double maximum() const { return maxHalves / 2.0; }
    constexpr double step() const { return stepHalves / 2.0; }
    // The bounds as exact decimals, written without a needless ".0".
    constexpr Decimal minimumDecimal() const { return fromHalves(minHalves); }
    constexpr Decimal maximumDecimal() const { return fromHalves(maxHalves); }

private:
    static constexpr Decimal fromHalves(int halves)
    {
        return halves % 2 == 0 ? Decimal(halves / 2, 0) : Decimal(halves * 5, 1);
    }
};

// Material thickness t (for a fillet weld the throat thickness a), seam
// length l, seam width b and root width bw in mm.
inline constexpr DimensionRange kRangeT{"t", 1, 2000, 1};
inline constexpr DimensionRange kRangeL{"l", 2, 2000, 2};
inline constexpr DimensionRange kRangeB{"b", 2, 200, 2};
inline constexpr DimensionRange kRangeBw{"bw", 2, 100, 1};

} // namespace veltrano
