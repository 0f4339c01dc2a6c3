// Limits of quality level B ("B (hoch)").  Level B alone reads the two options:
// the welder-test option raises the limits of records 13, 16 to 19 and 33, and
// the railway-bridge option forbids records 13, 57 to 66, 80 to 83 and 86 to 89
// outright.
#include "evaluation/Rules.h"

namespace veltrano::rules {
namespace {

constexpr RuleRow kRules[] = {
    noRule({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
    row({13}, railBridge >> NotPermitted, thin >> NotApplicable, welderTest >> Mm(fixed(0.5_k)),
        otherwise >> Mm(min(0.05_k * t, 0.5_k))),
    noRule({14, 22, 23, 25, 27, 29, 30, 31, 32, 34, 35, 36, 37}),
    row({15, 24, 28}, thin >> NotApplicable, butt >> Mm(min(0.05_k * t, 0.5_k)), otherwise >> NotApplicable),
    row({16}, (butt && welderTest) >> Mm(min(0.15_k * b + 1, 7)), butt >> Mm(min(0.1_k * b + 1, 5)),
        otherwise >> NotApplicable),
    row({17}, (fillet && welderTest) >> Mm(min(0.15_k * b + 1, 4)), fillet >> Mm(min(0.1_k * b + 1, 3)),
        otherwise >> NotApplicable),
    row({18}, thick >> NotApplicable, (butt && welderTest) >> Mm(0.3_k * bw + 1), butt >> Mm(0.1_k * bw + 1),
        otherwise >> NotApplicable),
    row({19}, thin >> NotApplicable, (butt && welderTest) >> Mm(min(0.6_k * bw + 1, 4)),
        butt >> Mm(min(0.2_k * bw + 1, 3)), otherwise >> NotApplicable),
    row({20}, butt >> CatalogueText, otherwise >> NotApplicable),
    row({21}, fillet >> CatalogueText, otherwise >> NotApplicable),
    row({26}, fillet >> Mm(0.15_k * t + 1.5_k), otherwise >> NotApplicable),
    row({33}, (fillet && welderTest) >> Mm(min(0.2_k * t + 1, 4)), fillet >> Mm(min(0.15_k * t + 1, 3)),
        otherwise >> NotApplicable),
    row({38, 40}, otherwise >> Mm2(0.01_k * l * b)),
    row({39, 46, 48}, otherwise >> Mm2(0.02_k * l * b)),
    row({41}, butt >> Mm(min(0.2_k * t, 3)), otherwise >> NotApplicable),
    row({42}, fillet >> Mm(min(0.2_k * t, 3)), otherwise >> NotApplicable),
    row({43, 47}, otherwise >> Mm2(0.04_k * l * b)),
    row({44, 49, 51}, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({45, 50, 52}, fillet >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    noRule({53, 54, 55, 56}),
    row({57, 59, 61, 63, 65}, railBridge >> NotPermitted, butt >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    row({58, 60, 62, 64, 66}, railBridge >> NotPermitted, fillet >> Mm(min(0.2_k * t, 2)), otherwise >> NotApplicable),
    noRule({67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79}),
    row({80}, railBridge >> NotPermitted, thick >> NotApplicable, butt >> Mm(0.1_k * t + 0.2_k),
        otherwise >> NotApplicable),
    row({81}, railBridge >> NotPermitted, thin >> NotApplicable, butt >> Mm(min(0.1_k * t, 3)),
        otherwise >> NotApplicable),
    row({82}, railBridge >> NotPermitted, butt >> Mm(min(0.5_k * t, 2)), otherwise >> NotApplicable),
    row({83}, railBridge >> NotPermitted, butt >> CatalogueText, otherwise >> NotApplicable),
    row({84}, thick >> NotApplicable, fillet >> Mm(0.1_k * t + 0.2_k), otherwise >> NotApplicable),
    row({85}, thin >> NotApplicable, fillet >> Mm(min(0.1_k * t + 0.5_k, 2)), otherwise >> NotApplicable),
    row({86}, railBridge >> NotPermitted, thick >> NotApplicable, otherwise >> NotPermitted),
    row({87}, railBridge >> NotPermitted, thin >> NotApplicable, butt >> Mm(0.2_k * t), otherwise >> NotApplicable),
    row({88}, railBridge >> NotPermitted, thin >> NotApplicable, fillet >> Mm(0.15_k * t), otherwise >> NotApplicable),
    row({89}, railBridge >> NotPermitted, otherwise >> Mm2(0.04_k * t * l)),
};

} // namespace

std::span<const RuleRow> levelB()
{
    return kRules;
}

} // namespace veltrano::rules
