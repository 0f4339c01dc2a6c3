#pragma once
// `veltrano-limits --check FILE`: the verdict of every finding, weld and of
// the record, as a table for a person or as JSON for a program, and an exit
// status that a script can test.

#include "record/CatalogueRows.h"
#include "record/Record.h"
#include "record/Verdict.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace veltrano::record {

inline constexpr int kCheckAccepted = 0;
inline constexpr int kCheckRejected = 1;
inline constexpr int kCheckUnreadable = 5; // cannot be read, or is no valid record
inline constexpr int kCheckOpen = 6;       // nothing rejected, something awaits the inspector

struct CheckOptions {
    enum class Format { Table, Json };
    Format format = Format::Table;
    std::string decimalSeparator = ","; // of the numbers in the table and in the reasons
};

int exitStatus(Verdict v);

// Writes the verdict of a record already loaded and judged (judgeRecord with
// options.decimalSeparator) to out, as a table headed by fileName or as
// JSON, and returns its exit status.  Nothing is read again: the listing,
// a printed record and the exit status all come from the one reading.
int writeCheck(std::ostream& out, const std::string& fileName, const Record& record, const RecordVerdict& verdict,
               const CatalogueRows& rows, const CheckOptions& options);

// Loads the file, judges it and writes the result to out; a file that cannot
// be read or is invalid gets its message on err and kCheckUnreadable.
int checkRecordFile(const std::filesystem::path& file, const CatalogueRows& rows, const CheckOptions& options,
                    std::ostream& out, std::ostream& err);

void writeCheckTable(std::ostream& out, const std::string& fileName, const Record& record, const RecordVerdict& verdict,
                     const CatalogueRows& rows, std::string_view decimalSeparator);

// {"verdict":...,"reason":...,"welds":[{"id":...,"verdict":...,"reason":...,
//   "findings":[{"record":N,"verdict":...,"value":"0.35","limit":"0.33","unit":"mm","bound":"max","reason":...}]}]}
// with value and limit the exact decimals with a point; limit, unit and
// bound only for rows with a numeric limit.
void writeCheckJson(std::ostream& out, const Record& record, const RecordVerdict& verdict);

} // namespace veltrano::record
