#pragma once
// The verdicts of an inspection record: per finding, per weld, per record.
//
// A numeric limit is the level's rule evaluated exactly in decimal on the
// weld's dimensions as written, and a measured value is accepted when it does
// not exceed it (the angle rows "α ≥ N°" ask for at least N°).  Texts that
// are verdicts decide by themselves ("nicht zulässig", "zulässig"); a finding
// that cannot belong to the weld ("nicht zutreffend") stays open; every other
// text needs the inspector's judgement.  Rows for short imperfections
// ("Kurze Unregelmäßigkeiten") also check the finding's length.

#include "record/CatalogueRows.h"
#include "record/Record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::record {

enum class Verdict { Accepted, Open, Rejected };

// Rejected outweighs open, open outweighs accepted.
constexpr Verdict worse(Verdict a, Verdict b)
{
    return a > b ? a : b;
}

// "accepted", "rejected", "open": the words of the JSON output.
const char* verdictKey(Verdict v);
// "angenommen", "zurückgewiesen", "offen": the words a person reads.
const char* verdictWord(Verdict v);

enum class Bound { None, Max, Min };

struct FindingVerdict {
    int record = 0;
    Verdict verdict = Verdict::Open;
    std::optional<ExactNumber> limit; // numeric rows: the exact limit
    Bound bound = Bound::None;        // Max: value <= limit; Min: value >= limit
    std::string unit;                 // "mm", "mm²" or "°" with a limit
    std::string limitText;            // the catalogue's limit text that was read
    bool belongs = true;              // false: the row cannot belong to this weld ("nicht zutreffend")
    std::string reason;
};

struct WeldVerdict {
    Verdict verdict = Verdict::Accepted;
    std::string reason;
    std::vector<FindingVerdict> findings;
};

struct RecordVerdict {
    Verdict verdict = Verdict::Accepted;
    std::string reason;
    std::vector<WeldVerdict> welds;
};

// The decimal separator is that of the numbers in the reasons.
FindingVerdict judgeFinding(const Weld& weld, const Finding& finding, const CatalogueRows& rows,
                            std::string_view decimalSeparator = ",");
WeldVerdict judgeWeld(const Weld& weld, const CatalogueRows& rows, std::string_view decimalSeparator = ",");
RecordVerdict judgeRecord(const Record& record, const CatalogueRows& rows, std::string_view decimalSeparator = ",");

// A quantity as the reasons write it: "0,33 mm", "18 mm²", "150°".
std::string quantityText(const ExactNumber& n, std::string_view unit, std::string_view decimalSeparator);

// A numeric limit with its direction, as the window and the printed record
// show it: "≤ 0,33 mm" for a maximum, "≥ 110°" for a minimum (no sign for
// Bound::None).  Sign, number and unit are joined by no-break spaces, so a
// narrow column never puts them on two lines.
std::string boundedLimitText(const ExactNumber& limit, Bound bound, std::string_view unit,
                             std::string_view decimalSeparator);

} // namespace veltrano::record
