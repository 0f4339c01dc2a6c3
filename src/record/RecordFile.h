#pragma once
// The record file: JSON in UTF-8,
//   {"format":"veltrano-record","version":1,"inspection":{...},"welds":[...]}
// Loading checks every value and refuses what it cannot read with the file
// and either the line and column or the field (welds[2].findings[0].value).
// Saving writes one canonical form, so a file the program wrote is saved
// again byte for byte, and members this version does not know travel along.

#include "record/FileStamp.h"
#include "record/Record.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

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

// A file saveRecord refuses for a reason the user can act on.
class SaveError : public RecordError {
public:
    enum class Kind {
        ReadOnly,          // no one may write the file, or its folder takes no new file: "Speichern unter…"
        ChangedSinceLoaded // another program changed the file since it was loaded: ask first
    };
    SaveError(std::string file, Kind kind, std::string message);
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

enum class SaveMode { KeepOtherChanges, Overwrite };

// Validates, then writes atomically: a temporary file (named .veltrano-save-…
// so that one left by an interrupted save is cleaned up by a later one) in
// the target's folder, flushed to the disk, renamed over the target.  A link
// stays a link: the file it finally points to is written, and created when
// it is missing.  The file keeps its permissions, and its owner and group
// where the process may set them.  Refused: a file that is not a record this
// version can read, one that is no regular file, one no one may write
// (SaveError::Kind::ReadOnly) and, with the stamp of what was loaded, one
// whose bytes changed since (Kind::ChangedSinceLoaded, unless Overwrite).
// Returns the stamp of what now is in the file.
FileStamp saveRecord(const Record& record, const std::filesystem::path& file,
                     const std::optional<FileStamp>& loaded = std::nullopt, SaveMode mode = SaveMode::KeepOtherChanges);

// What a failed call to the system means, in German: "Dateiname zu lang",
// "kein Platz auf dem Datenträger", …
std::string saveFailureText(const std::error_code& error);

} // namespace veltrano::record
