#pragma once
// The weld as the inspector describes it.  It is read afresh at the start of
// every evaluation, so a ticked option or a changed dimension counts from the
// next evaluation on.

#include "evaluation/CatalogueFields.h"

namespace veltrano {

// The item index of the seam-type selector.  Any other index (no item chosen,
// or a text typed by the user) is neither seam type: a rule that asks for one
// seam type then treats it like the other one.
enum class SeamType : int { Butt = 0, Fillet = 1 };

// The code held in iGroup: 1 = B (hoch), 2 = C (mittel), 3 = D (niedrig).
enum class QualityLevel : int { B = 1, C = 2, D = 3 };

// The catalogue column whose limit text belongs to a level.
constexpr const char* limitColumn(QualityLevel level)
{
    switch (level) {
    case QualityLevel::B:
        return field::kLevelB;
    case QualityLevel::C:
        return field::kLevelC;
    case QualityLevel::D:
        return field::kLevelD;
    }
    return "";
}

struct WeldInput {
    float t = 10.0f;  // material thickness; for a fillet weld the throat thickness a
    float l = 100.0f; // seam length
    float b = 12.0f;  // seam width
    float bw = 2.0f;  // root width, read also while its field is hidden
    int seamType = static_cast<int>(SeamType::Butt);
    bool welderTest = false; // assessed for a welder qualification test (DIN EN 287-1)
    bool railBridge = false; // assessed for railway bridges (Ril 804.4101 Tabelle 3)

    bool isButtWeld() const { return seamType == static_cast<int>(SeamType::Butt); }
    bool isFilletWeld() const { return seamType == static_cast<int>(SeamType::Fillet); }
};

} // namespace veltrano
