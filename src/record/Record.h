#pragma once
// An inspection record: one inspection job with its header and its welds,
// each weld with the imperfections found on it.  Dimensions and measured
// values are kept as they were written, so the verdict reads the exact
// decimal and the file is saved again unchanged.

#include "evaluation/DimensionRange.h"
#include "evaluation/WeldInput.h"
#include "record/ExactNumber.h"
#include "record/JsonTree.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::record {

inline constexpr const char* kFormatName = "veltrano-record";
inline constexpr int kFormatVersion = 1;
inline constexpr const char* kDefaultStandard = "DIN EN ISO 5817";

// Members of an object that this version does not know; saved again after
// the known ones, in their order.
using ExtraMembers = std::vector<std::pair<std::string, JsonNode>>;

// A number as it stands in the file: a JSON number token (3.3, 1e-1) or the
// text of a JSON string ("3,3").
struct WrittenNumber {
    std::string text;
    bool quoted = false;

    static WrittenNumber of(const ExactNumber& n) { return {n.text("."), false}; }
    // A number as the inspector typed it, with a comma or a point, kept as
    // the exact decimal.  What is no number travels as its text, so that the
    // record's own check names it.
    static WrittenNumber typed(const std::string& text)
    {
        if (const auto n = ExactNumber::parse(text))
            return of(*n);
        return {text, true};
    }
    std::optional<ExactNumber> value() const { return ExactNumber::parse(text, !quoted); }
};

struct Inspection {
    std::optional<std::string> order, component, drawing, standard, method, stage, inspector, qualification, date,
        place, remarks;
    ExtraMembers extra;

    std::string standardOrDefault() const { return standard ? *standard : kDefaultStandard; }
};

enum class Judgement { None, Accepted, Rejected };

struct Finding {
    int record = 1;                      // catalogue record number, 1 to 89
    WrittenNumber value;                 // in the row's unit: mm, mm² or degrees
    std::optional<WrittenNumber> length; // mm in the 100 mm of weld where it is largest
    std::optional<std::string> location, remark;
    Judgement judgement = Judgement::None; // the inspector's, where no verdict can be computed
    ExtraMembers extra;
};

struct Weld {
    std::string id;
    SeamType seam = SeamType::Butt;
    QualityLevel level = QualityLevel::B;
    WrittenNumber t, l, b, bw; // mm; t is the throat thickness a of a fillet weld
    std::optional<bool> welderTest, railBridge;
    std::optional<std::string> welder, process, location, remarks;
    std::vector<Finding> findings;
    ExtraMembers extra;
};

struct Record {
    Inspection inspection;
    std::vector<Weld> welds;
    ExtraMembers extra;
};

} // namespace veltrano::record
