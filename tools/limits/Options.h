#pragma once
// The command line of veltrano-limits.

#include "Output.h"
#include "evaluation/WeldInput.h"

#include <optional>
#include <string>

namespace veltrano::limits {

struct Options {
    std::optional<std::string> catalogue;
    std::optional<std::string> separator;
    std::optional<std::string> pdf; // "-" is standard output
    Format format = Format::Table;
    bool formatGiven = false;
    bool batch = false;
    std::optional<std::string> check; // the inspection record file to judge
    WeldInput weld;
    QualityLevel level = QualityLevel::B;
};

struct ParsedCommandLine {
    std::optional<Options> options; // empty: the tool ends with `exitStatus`
    int exitStatus = 0;
    std::string out; // --help or --version text for standard output
    std::string err; // the fault and a hint, for standard error
};

// Parses and checks the whole command line; a fault names the option and
// what it accepts.  `withReport` tells whether this build can write the PDF
// report.
ParsedCommandLine parseCommandLine(int argc, const char* const* argv, bool withReport);

} // namespace veltrano::limits
