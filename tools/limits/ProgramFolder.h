#pragma once
// The folder of the running executable, where the catalogue is looked for.

#include <filesystem>

namespace veltrano::limits {

// argv0 is the program name as started; it is used only where the system
// cannot name the executable itself.
std::filesystem::path programFolder(const char* argv0);

} // namespace veltrano::limits
