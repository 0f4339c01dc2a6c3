#pragma once
// The exit status of veltrano-limits, as documented in its --help and the README.

namespace veltrano::limits {

enum ExitStatus : int {
    kSuccess = 0,
    kUsageError = 2,      // a missing, repeated or bad option; a --pdf output that is a file read
    kCatalogueError = 3,  // the catalogue cannot be opened
    kOutputError = 4,     // standard output or the PDF file cannot be written
};

} // namespace veltrano::limits
