// Limits of quality level C ("C (mittel)").  No level-C rule reads the options.
#include "evaluation/Rules.h"

namespace veltrano::rules {
namespace {

constexpr RuleRow kRules[] = {
    noRule({1, 2, 3, 5, 7, 9, 10, 11}),
    row({4}, thin >> NotApplicable, fillet >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({6}, thin >> NotApplicable, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({8}, thin >> NotApplicable, otherwise >> Mm(min(0.1_k * t, 1))),
    row({12}, thick >> NotApplicable, otherwise >> Mm(0.1_k * t)),
    row({13}, thin >> NotApplicable, otherwise >> Mm(min(0.1_k * t, 0.5_k))),
    row({14, 23, 27}, thick >> NotApplicable, butt >> Mm(0.1_k * t), otherwise >> NotApplicable),
    row({15, 24, 28}, thin >> NotApplicable, butt >> Mm(min(0.1_k * t, 1)), otherwise >> NotApplicable),
    row({16}, butt >> Mm(min(0.15_k * b + 1, 7)), otherwise >> NotApplicable),
    row({17}, fillet >> Mm(min(0.15_k * b + 1, 4)), otherwise >> NotApplicable),
    row({18}, thick >> NotApplicable, butt >> Mm(0.3_k * bw + 1), otherwise >> NotApplicable),
    row({19}, thin >> NotApplicable, butt >> Mm(min(0.6_k * bw + 1, 4)), otherwise >> NotApplicable),
    row({20}, butt >> CatalogueText, otherwise >> NotApplicable),
    row({21}, fillet >> CatalogueText, otherwise >> NotApplicable),
    noRule({22, 25, 29, 30, 34, 35, 36, 37}),
    row({26}, fillet >> Mm(0.15_k * t + 2), otherwise >> NotApplicable),
    row({31}, thick >> NotApplicable, fillet >> Mm(0.2_k * t), otherwise >> NotApplicable),
    row({32}, thin >> NotApplicable, fillet >> Mm(min(0.1_k * t + 0.3_k, 1)), otherwise >> NotApplicable),
    row({33}, fillet >> Mm(min(0.2_k * t + 1, 4)), otherwise >> NotApplicable),
    row({38, 40}, otherwise >> Mm2(0.015_k * l * b)),
    row({39}, otherwise >> Mm2(0.03_k * l * b)),
    row({41}, butt >> Mm(min(0.3_k * t, 4)), otherwise >> NotApplicable),
    row({42}, fillet >> Mm(min(0.3_k * t, 4)), otherwise >> NotApplicable),
    row({43, 47}, otherwise >> Mm2(0.08_k * l * b)),
    row({44, 49, 51, 57, 59, 61, 63, 65}, butt >> Mm(min(0.3_k * t, 3)), otherwise >> NotApplicable),
    row({45, 50, 52, 58, 60, 62, 64, 66}, fillet >> Mm(min(0.3_k * t, 3)), otherwise >> NotApplicable),
    row({46, 48}, otherwise >> Mm2(0.04_k * l * b)),
    noRule({53, 54, 55, 56, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 79}),
    row({77}, fillet >> Mm(min(0.1_k * t, 1.5_k)), otherwise >> NotApplicable),
    row({78}, butt >> Mm(min(0.1_k * t, 1.5_k)), otherwise >> NotApplicable),
    row({80}, thick >> NotApplicable, butt >> Mm(0.15_k * t + 0.2_k), otherwise >> NotApplicable),
    row({81}, thin >> NotApplicable, butt >> Mm(min(0.15_k * t, 4)), otherwise >> NotApplicable),
    row({82}, butt >> Mm(min(0.5_k * t, 3)), otherwise >> NotApplicable),
    row({83}, butt >> CatalogueText, otherwise >> NotApplicable),
    row({84}, thick >> NotApplicable, fillet >> Mm(0.1_k * t + 0.3_k), otherwise >> NotApplicable),
    row({85}, thin >> NotApplicable, fillet >> Mm(min(0.2_k * t + 0.5_k, 3)), otherwise >> NotApplicable),
    row({86}, thick >> NotApplicable, otherwise >> NotPermitted),
    row({87}, thin >> NotApplicable, butt >> Mm(0.3_k * t), otherwise >> NotApplicable),
    row({88}, thin >> NotApplicable, fillet >> Mm(0.2_k * t), otherwise >> NotApplicable),
    row({89}, otherwise >> Mm2(0.08_k * t * l)),
};

} // namespace

std::span<const RuleRow> levelC()
{
    return kRules;
}

} // namespace veltrano::rules
