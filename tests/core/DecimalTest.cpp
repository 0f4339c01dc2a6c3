// The nearest 32-bit float of an exact decimal: a capped limit is rounded to
// it before the cap test, so a wrong neighbour changes a printed limit.
#include "evaluation/Decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using veltrano::Decimal;
using veltrano::nearestFloat;

TEST(NearestFloat, RoundsToNearestWithTiesToEvenAlsoWhereADoubleCannotDecide)
{
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        Decimal value;
        float expected;
    } cases[] = {
        {Decimal(45, 2), 0.45f},
        {Decimal(35, 2), 0.35f},
        {Decimal(16777217), 16777216.0f}, // midpoint, even neighbour below
        {Decimal(16777219), 16777220.0f}, // midpoint, even neighbour above
        {Decimal(-16777217), -16777216.0f},
        {Decimal(167772170001, 4), 16777218.0f}, // just above the midpoint
        {Decimal(167772169999, 4), 16777216.0f}, // just below it
        {Decimal(16777217, -1), 167772176.0f},   // a negative scale: 167772170 lies nearer 167772176
        {Decimal(5, -1), 50.0f},
        {Decimal(34028235, -31), std::numeric_limits<float>::max()},
        {Decimal(3402823669, -29), inf}, // beyond the last midpoint
        {Decimal(1, 45), std::numeric_limits<float>::denorm_min()},
        {Decimal(7, 46), 0.0f}, // below half the smallest float
        {Decimal(0), 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nearestFloat(c.value), c.expected) << veltrano::toString(c.value);
}
