#pragma once
// The record file: JSON in UTF-8,
//   {"format":"veltrano-record","version":1,"inspection":{...},"welds":[...]}
// Loading checks every value and refuses what it cannot read with the file
// and either the line and column or the field (welds[2].findings[0].value).
// Saving writes one canonical form, so a file the program wrote is saved
// again byte for byte, and members this version does not know travel along.

#include "Record.h"

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::record {

class RecordError : public std::runtime_error {
public:
    RecordError(std::string file, std::size_t line, std::size_t column, std::string field, std::string message);

    const std::string& file() const { return m_file; }
    std::size_t line() const { return m_line; } // 0 when the error names a field
    std::size_t column() const { return m_column; }
    const std::string& field() const { return m_field; }
    const std::string& message() const { return m_message; }

private:
    std::string m_file;
    std::size_t m_line;
    std::size_t m_column;
    std::string m_field;
    std::string m_message;
};

// fileName only names the source in error messages.
Record parseRecord(std::string_view text, const std::string& fileName);
Record loadRecord(const std::filesystem::path& file);

// The checks that loading makes, on a record built or edited in memory;
// throws RecordError naming the field.
void validateRecord(const Record& record, const std::string& fileName = {});

std::string serializeRecord(const Record& record);

// Validates, then writes atomically: a temporary file in the same folder,
// flushed to the disk, renamed over the target.  An existing file that is
// not a record this version can read is never overwritten.
void saveRecord(const Record& record, const std::filesystem::path& file);

} // namespace veltrano::record
