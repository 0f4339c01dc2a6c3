#include "Catalogue.h"

#include <sqlite3.h>

#include <array>
#include <cstring>
#include <fstream>
#include <memory>

namespace veltrano {
namespace {

std::string utf8(const std::filesystem::path& p)
{
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

std::string quoted(const std::filesystem::path& p)
{
    return "\"" + utf8(p) + "\"";
}

// Reads the first bytes to tell an SQLite file from an Access/Jet file or
// anything else before SQLite is asked to open it.
void checkHeader(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw CatalogueError("Die Katalogdatei " + quoted(file) + " kann nicht gelesen werden.");
    std::array<char, 32> header{};
    in.read(header.data(), header.size());
    const auto got = static_cast<std::size_t>(in.gcount());
    static constexpr char kSqlite[] = "SQLite format 3";
    if (got >= sizeof kSqlite && std::memcmp(header.data(), kSqlite, sizeof kSqlite) == 0)
        return;
    // Jet 3/4 and ACE databases carry their format name at offset 4.
    const std::string name(header.data() + (got > 4 ? 4 : got), header.data() + got);
    if (name.rfind("Standard Jet DB", 0) == 0 || name.rfind("Standard ACE DB", 0) == 0)
        throw CatalogueError("Die Katalogdatei " + quoted(file)
                             + " ist eine Access/Jet-Datenbank. Das Programm liest den Katalog als SQLite-Datenbank.");
    throw CatalogueError("Die Katalogdatei " + quoted(file) + " ist keine SQLite-Datenbank.");
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

std::string quoteIdentifier(const std::string& name)
{
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

Stmt prepare(sqlite3* db, const std::string& sql, const std::filesystem::path& file)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
        const std::string reason = sqlite3_errmsg(db);
        sqlite3_finalize(raw);
        throw CatalogueError("Die Katalogdatei " + quoted(file) + " kann nicht gelesen werden: " + reason);
    }
    return Stmt(raw);
}

} // namespace

const std::vector<std::string>& Catalogue::fieldNames()
{
    static const std::vector<std::string> names = {
        "Gruppe", "tmm", "Unregelm\u00E4\u00DFigkeit", "OrdnungsNr", "Bemerkungen", "niedrigD", "mittelC", "hochB",
    };
    return names;
}

void Catalogue::Open()
{
    if (m_active)
        return;

    std::error_code ec;
    if (!std::filesystem::exists(m_file, ec))
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " ist nicht vorhanden.");
    if (!std::filesystem::is_regular_file(m_file, ec))
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " ist keine Datei.");
    checkHeader(m_file);

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(utf8(m_file).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " kann nicht ge\u00F6ffnet werden: "
                             + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    sqlite3_exec(db.get(), "PRAGMA query_only = ON", nullptr, nullptr, nullptr);

    // The table and its eight fields.
    {
        Stmt info = prepare(db.get(), "PRAGMA table_info(" + quoteIdentifier(kTableName) + ")", m_file);
        std::vector<std::string> columns;
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(info.get())) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
            columns.emplace_back(name ? name : "");
        }
        if (step != SQLITE_DONE)
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " kann nicht gelesen werden: "
                                 + sqlite3_errmsg(db.get()));
        if (columns.empty())
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " enth\u00E4lt keine Tabelle "
                                 + kTableName + ".");
        for (const std::string& field : fieldNames()) {
            bool found = false;
            for (const std::string& c : columns)
                found = found || sqlite3_stricmp(c.c_str(), field.c_str()) == 0;
            if (!found)
                throw CatalogueError("In der Tabelle " + std::string(kTableName) + " der Katalogdatei "
                                     + quoted(m_file) + " fehlt das Feld " + field + ".");
        }
    }

    {
        Stmt count = prepare(db.get(), "SELECT count(*) FROM " + quoteIdentifier(kTableName), m_file);
        if (sqlite3_step(count.get()) != SQLITE_ROW)
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " kann nicht gelesen werden: "
                                 + sqlite3_errmsg(db.get()));
        const auto n = sqlite3_column_int64(count.get(), 0);
        if (n > kMaxRecords)
            throw CatalogueError("Die Tabelle " + std::string(kTableName) + " der Katalogdatei " + quoted(m_file)
                                 + " hat " + std::to_string(n) + " Datens\u00E4tze; das Programm kann h\u00F6chstens "
                                 + std::to_string(kMaxRecords) + " aufnehmen.");
    }

    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < fieldNames().size(); ++i)
        sql += (i ? ", " : "") + quoteIdentifier(fieldNames()[i]);
    sql += " FROM " + quoteIdentifier(kTableName) + " ORDER BY rowid";
    Stmt select = prepare(db.get(), sql, m_file);

    std::vector<std::vector<std::string>> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        if (static_cast<int>(rows.size()) == kMaxRecords)
            throw CatalogueError("Die Tabelle " + std::string(kTableName) + " der Katalogdatei " + quoted(m_file)
                                 + " hat mehr als " + std::to_string(kMaxRecords) + " Datens\u00E4tze.");
        std::vector<std::string> row;
        row.reserve(fieldNames().size());
        for (int c = 0; c < static_cast<int>(fieldNames().size()); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), c));
            row.emplace_back(text ? text : "");
        }
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE)
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " kann nicht gelesen werden: "
                             + sqlite3_errmsg(db.get()));

    m_rows = std::move(rows);
    m_active = true;
    m_row = 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notify();
}

void Catalogue::Close()
{
    m_active = false;
    m_rows.clear();
    m_row = 0;
    m_bof = m_eof = true;
}

int Catalogue::RecordCount() const
{
    return static_cast<int>(m_rows.size());
}

int Catalogue::RecNo() const
{
    return m_active && !m_rows.empty() ? m_row + 1 : 0;
}

void Catalogue::SetRecNo(int recNo)
{
    if (!m_active || m_rows.empty() || recNo < 1 || recNo > RecordCount())
        return;
    if (recNo - 1 == m_row)
        return;
    m_bof = m_eof = false;
    m_row = recNo - 1;
    notify();
}

void Catalogue::First()
{
    if (!m_active)
        return;
    m_row = 0;
    m_bof = true;
    m_eof = m_rows.empty();
    notify();
}

void Catalogue::Last()
{
    if (!m_active)
        return;
    m_row = m_rows.empty() ? 0 : RecordCount() - 1;
    m_eof = true;
    m_bof = m_rows.empty();
    notify();
}

void Catalogue::Prior()
{
    if (!m_active || m_bof)
        return;
    m_eof = false;
    if (m_row == 0)
        m_bof = true; // an attempt before the first row: the row stays
    else
        --m_row;
    notify();
}

void Catalogue::Next()
{
    if (!m_active || m_eof)
        return;
    m_bof = false;
    if (m_row + 1 >= RecordCount())
        m_eof = true; // an attempt past the last row: the row stays
    else
        ++m_row;
    notify();
}

void Catalogue::GotoBookmark(Bookmark bookmark)
{
    if (!m_active || bookmark < 0 || bookmark >= RecordCount())
        return;
    m_row = bookmark;
    m_bof = m_eof = false;
    notify();
}

int Catalogue::FieldIndex(const std::string& field)
{
    const auto& names = fieldNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == field)
            return static_cast<int>(i);
    }
    // Field names are matched without regard to letter case, as the database does.
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sqlite3_stricmp(names[i].c_str(), field.c_str()) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

std::string Catalogue::FieldText(const std::string& field) const
{
    return FieldText(m_row, field);
}

std::string Catalogue::FieldText(int row, const std::string& field) const
{
    return FieldTextAt(row, FieldIndex(field));
}

std::string Catalogue::FieldTextAt(int row, int index) const
{
    if (!m_active || index < 0 || index >= static_cast<int>(fieldNames().size()) || row < 0 || row >= RecordCount())
        return {};
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
}

void Catalogue::notify()
{
    if (m_onDataChange)
        m_onDataChange();
}

void WalkAllRows(Catalogue& catalogue)
{
    const Catalogue::Bookmark mark = catalogue.GetBookmark();
    catalogue.First();
    do {
        catalogue.Next();
    } while (!catalogue.Eof());
    catalogue.GotoBookmark(mark);
    catalogue.FreeBookmark(mark);
}

std::filesystem::path catalogueFileIn(const std::filesystem::path& programDir)
{
    return programDir / Catalogue::kFileName;
}

} // namespace veltrano
