#pragma once
// Batch mode: one weld per input line as a JSON object, one output line per
// input line in the same order, so a caller can pair question and answer.

#include "evaluation/WeldInput.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace veltrano {
class Recalculation;
}

namespace veltrano::limits {

// A line longer than this is answered with an error and never held whole.
inline constexpr std::size_t kMaxBatchLine = 1024 * 1024;

struct BatchWeld {
    WeldInput weld;
    QualityLevel level = QualityLevel::B;
};

// Reads one batch line, for example
// {"seam":"butt","level":"C","t":10,"l":100,"b":12,"bw":2,"welder_test":false}.
// Numbers are taken from their characters; throws UsageError naming the key
// and what it accepts, or the JSON fault and its column.
BatchWeld batchWeldFromJson(std::string_view line);

struct BatchResult {
    bool outputFailed = false; // standard output could not be written; the batch stopped
    std::string outputError;   // the system's reason
};

// Answers every line of `in` on `out`.  The answers are written in blocks and
// always before the tool waits for more input, so an interactive caller gets
// each answer as soon as its line is read.
BatchResult runBatch(std::istream& in, std::ostream& out, Recalculation& recalculation);

} // namespace veltrano::limits
