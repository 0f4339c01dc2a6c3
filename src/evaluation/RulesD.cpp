// Limits of quality level D ("D (niedrig)").  No level-D rule reads the options.
#include "evaluation/Rules.h"

namespace veltrano::rules {
namespace {

constexpr RuleRow kRules[] = {
    noRule({1, 2}),
    row({3}, thick >> NotApplicable, fillet >> Mm(0.3_k * t), otherwise >> NotApplicable),
    row({4}, thin >> NotApplicable, fillet >> Mm(min(0.3_k * t, 3)), otherwise >> NotApplicable),
    row({5}, thick >> NotApplicable, butt >> Mm(0.3_k * t), otherwise >> NotApplicable),
    row({6}, thin >> NotApplicable, butt >> Mm(min(0.3_k * t, 3)), otherwise >> NotApplicable),
    row({7, 12}, thick >> NotApplicable, otherwise >> Mm(0.2_k * t)),
    row({8}, thin >> NotApplicable, otherwise >> Mm(min(0.2_k * t, 2))),
    noRule({9, 10, 25, 29, 35, 36, 37, 67}),
    row({11}, otherwise >> Mm(min(0.2_k * t, 2))),
    row({13}, thin >> NotApplicable, otherwise >> Mm(min(0.2_k * t, 1))),
    row({14, 27}, thick >> NotApplicable, butt >> Mm(0.1_k * t + 0.2_k), otherwise >> NotApplicable),
    row({15, 28}, thin >> NotApplicable, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({16}, butt >> Mm(min(0.25_k * b + 1, 10)), otherwise >> NotApplicable),
    row({17}, fillet >> Mm(min(0.25_k * b + 1, 5)), otherwise >> NotApplicable),
    row({18}, thick >> NotApplicable, butt >> Mm(0.6_k * bw + 1), otherwise >> NotApplicable),
    row({19}, thin >> NotApplicable, butt >> Mm(min(bw + 1, 5)), otherwise >> NotApplicable),
    row({20}, butt >> CatalogueText, otherwise >> NotApplicable),
    row({21}, fillet >> CatalogueText, otherwise >> NotApplicable),
    row({22}, butt >> Mm(min(0.2_k * b, 2)), otherwise >> NotApplicable),
    row({23}, thick >> NotApplicable, butt >> Mm(0.25_k * t), otherwise >> NotApplicable),
    row({24}, thin >> NotApplicable, butt >> Mm(min(0.25_k * t, 2)), otherwise >> NotApplicable),
    row({26}, fillet >> Mm(0.2_k * t + 2), otherwise >> NotApplicable),
    row({30}, otherwise >> CatalogueText),
    row({31}, thick >> NotApplicable, fillet >> Mm(0.1_k * t + 0.2_k), otherwise >> NotApplicable),
    row({32}, thin >> NotApplicable, fillet >> Mm(min(0.1_k * t + 0.3_k, 2)), otherwise >> NotApplicable),
    row({33}, fillet >> Mm(0.2_k * t + 1), otherwise >> NotApplicable),
    row({34}, otherwise >> CatalogueText),
    row({38, 40}, otherwise >> Mm2(0.025_k * l * b)),
    row({39}, otherwise >> Mm2(0.05_k * l * b)),
    row({41}, butt >> Mm(min(0.4_k * t, 5)), otherwise >> NotApplicable),
    row({42}, fillet >> Mm(min(0.4_k * t, 5)), otherwise >> NotApplicable),
    row({43, 47}, otherwise >> Mm2(0.16_k * l * b)),
    row({44, 49, 51, 53, 57, 59, 61, 63, 65, 68, 70, 72, 74}, butt >> Mm(min(0.4_k * t, 4)),
        otherwise >> NotApplicable),
    row({45, 50, 52, 54, 58, 60, 62, 64, 66, 69, 71, 73, 75}, fillet >> Mm(min(0.4_k * t, 4)),
        otherwise >> NotApplicable),
    row({46, 48}, otherwise >> Mm2(0.08_k * l * b)),
    row({55}, thick >> NotApplicable, butt >> Mm(0.2_k * t), otherwise >> NotApplicable),
    row({56}, thin >> NotApplicable, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({76, 77}, fillet >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({78, 79}, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({80}, thick >> NotApplicable, butt >> Mm(0.25_k * t + 0.2_k), otherwise >> NotApplicable),
    row({81}, thin >> NotApplicable, butt >> Mm(min(0.25_k * t, 5)), otherwise >> NotApplicable),
    row({82}, butt >> Mm(min(0.5_k * t, 4)), otherwise >> NotApplicable),
    row({83}, butt >> CatalogueText, otherwise >> NotApplicable),
    row({84}, thick >> NotApplicable, fillet >> Mm(0.1_k * t + 0.5_k), otherwise >> NotApplicable),
    row({85}, thin >> NotApplicable, fillet >> Mm(min(0.3_k * t + 1, 4)), otherwise >> NotApplicable),
    row({86}, thick >> NotApplicable, otherwise >> NotPermitted),
    row({87}, thin >> NotApplicable, butt >> Mm(0.4_k * t), otherwise >> NotApplicable),
    row({88}, thin >> NotApplicable, fillet >> Mm(0.25_k * t), otherwise >> NotApplicable),
    row({89}, otherwise >> Mm2(0.16_k * t * l)),
};

} // namespace

std::span<const RuleRow> levelD()
{
    return kRules;
}

} // namespace veltrano::rules
