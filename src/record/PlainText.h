#pragma once
// Texts of the catalogue and of the inspector's entries as a person reads
// them, in UTF-8: white space of any kind, letter case, and the width in
// characters that a terminal gives them.

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano::record {

// Without the white space at its ends.
std::string_view trimmed(std::string_view text);

// Without the white space at its ends, and every inner run of it one space.
std::string simplified(std::string_view text);

// Upper-case letters of the Latin, Greek and Cyrillic alphabets as lower
// case, so that two texts compare letter case aside.  A byte that is no
// UTF-8 stays as it is.
std::string caseFolded(std::string_view text);

// The width of a text in a terminal's columns: one for each character, for
// the aligned tables of veltrano-limits.
std::size_t displayColumns(std::string_view text);

} // namespace veltrano::record
