#pragma once
// The imperfection catalogue: the read-only table ISO5817 in ISO5817.mdb.
//
// The file is an SQLite 3 database.  Opening reads every row, in rowid order,
// into memory and releases the file at once, like a static cursor: the
// program never holds the file open, never writes it or creates anything
// beside it, and a backup can copy it at any time.  Only a real table named
// ISO5817 is read, within a few seconds and with every field at most 64 KiB
// long; any other file is refused with the reason.  The rows' 1-based positions are the record numbers by
// which the rules, the result cache and the report are keyed.
//
// Cursor behaviour that the navigation commands rely on:
//   Bof is set by First and by an attempt to move before the first row,
//   Eof by Last and by an attempt to move past the last row.  A move clears
//   both before it starts, unless the flag of its own direction is already
//   set: then it does nothing at all.  An attempt at an end keeps the row but
//   still notifies a data change.

#include "evaluation/CatalogueFields.h"
#include "evaluation/Driver.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrano {

class CatalogueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Catalogue : public RecordCursor {
public:
    static constexpr const char* kFileName = "ISO5817.mdb";
    static constexpr const char* kTableName = "ISO5817";
    // The result cache has places for record numbers 1 to 90.
    static constexpr int kMaxRecords = 90;
    static const std::vector<std::string>& fieldNames();

    using Bookmark = int;

    Catalogue() = default;
    explicit Catalogue(std::filesystem::path file)
        : m_file(std::move(file))
    {
    }

    void setFile(std::filesystem::path file) { m_file = std::move(file); }
    const std::filesystem::path& file() const { return m_file; }

    // Opens the table on its first row and notifies a data change; no effect
    // while it is open.  Throws CatalogueError with a reason naming the problem.
    void Open();
    void Close();
    bool Active() const { return m_active; }

    int RecordCount() const;
    int RecNo() const override; // 1-based; 0 while closed or empty
    void SetRecNo(int recNo);   // notifies when the row changes
    void First() override;
    void Prior();
    void Next();
    void Last();
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }

    Bookmark GetBookmark() const { return m_row; }
    void GotoBookmark(Bookmark bookmark);
    void FreeBookmark(Bookmark) {}

    // Text of a named field of the current row; empty for an unknown field.
    std::string FieldText(const std::string& field) const;
    // Text of a named field of any row (0-based), for the grid.
    std::string FieldText(int row, const std::string& field) const;
    // The same by the field's position in the table's field list (FieldIndex);
    // empty for a position outside it.
    std::string FieldTextAt(int row, int fieldIndex) const;
    // The same text in the catalogue's own storage (an empty text for a
    // position outside it); valid until the catalogue closes.
    const std::string& FieldRefAt(int row, int fieldIndex) const;
    // Whether that text is a verdict of its own (it contains "zulässig").
    // Each text is told once, when the catalogue opens.
    bool FieldIsVerdictAt(int row, int fieldIndex) const;
    int CurrentRow() const { return m_row; }

    // Position of a field in the field list, matched as the database matches
    // names; -1 for an unknown field.
    static int FieldIndex(const std::string& field);

    // The data source's change notification (OnDataChange of DataSource1).
    void setDataChangeHandler(std::function<void()> handler) { m_onDataChange = std::move(handler); }

private:
    void notify();

    std::filesystem::path m_file;
    std::vector<std::vector<std::string>> m_rows;
    std::vector<std::vector<bool>> m_verdicts; // per row and field: the text contains "zulässig"
    int m_row = 0;
    bool m_active = false;
    bool m_bof = true;
    bool m_eof = true;
    std::function<void()> m_onDataChange;
};

// The limit field bound to one column of the catalogue's current row.
class CatalogueLimitField : public LimitField {
public:
    explicit CatalogueLimitField(const Catalogue& catalogue, std::string column = field::kLevelB)
        : m_catalogue(catalogue)
        , m_column(std::move(column))
        , m_index(Catalogue::FieldIndex(m_column))
    {
    }
    const std::string& text() const override { return m_catalogue.FieldRefAt(m_catalogue.CurrentRow(), m_index); }
    LimitTextRef limit() const override
    {
        const int row = m_catalogue.CurrentRow();
        return {m_catalogue.FieldRefAt(row, m_index), m_catalogue.FieldIsVerdictAt(row, m_index)};
    }
    std::string dataField() const override { return m_column; }
    void setDataField(const std::string& column) override
    {
        // The binding changes for every welder-test record and back, so the
        // column's position is looked up only when it really changes.
        if (column != m_column) {
            m_column = column;
            m_index = Catalogue::FieldIndex(m_column);
        }
    }

private:
    const Catalogue& m_catalogue;
    std::string m_column;
    int m_index;
};

// The walk of the recalculation pass: from the first row to past the last,
// then back to the row it started on.  Every row change notifies, so every
// record is evaluated and cached.
void WalkAllRows(Catalogue& catalogue);

// The catalogue file in the given program folder.
std::filesystem::path catalogueFileIn(const std::filesystem::path& programDir);

// Where the program finds its catalogue: beside the executable first, so
// that a portable copy with its own catalogue keeps working, then in the
// data folder of an installation (../share/veltrano/ from the executable's
// folder).  When neither exists, the file beside the executable, so that the
// missing file is reported where it is looked for first.
std::filesystem::path findCatalogueFile(const std::filesystem::path& programDir);

} // namespace veltrano
