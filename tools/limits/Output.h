#pragma once
// What veltrano-limits writes: JSON strings that are always valid UTF-8 with
// every control character escaped, the three formats of the results, and
// texts for a terminal that carry no raw control character.

#include <string>
#include <string_view>
#include <vector>

namespace veltrano {
class Catalogue;
}

namespace veltrano::limits {

// Appends s as a JSON string literal.  Bytes that are not UTF-8 become
// U+FFFD; C0 and C1 control characters and DEL are written as \u escapes, so
// nothing in the output can steer a terminal.
void appendJsonString(std::string& out, std::string_view s);
std::string jsonString(std::string_view s);

// A text for the aligned table and the tab-separated lines: line breaks and
// tabs become blanks (they would break the rows), other control characters
// are shown as \u escapes and bytes that are not UTF-8 as U+FFFD.
std::string displayText(std::string_view s);

// A whole block of output lines made safe for a terminal the same way; the
// line feeds between the lines stay.
std::string terminalLines(std::string_view s);

enum class Format { Table, Tsv, Json };

// The results of records 1 to n of one weld, with the record's reference
// number, name and catalogue limit text beside them.
std::string formatResults(Format format, const Catalogue& catalogue, const std::string& limitColumn,
                          const std::vector<std::string>& results);

// One error line of the batch output: {"error":"...","line":N}
void appendBatchError(std::string& out, std::string_view message, long long line);

} // namespace veltrano::limits
