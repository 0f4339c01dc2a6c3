#include "catalogue/Catalogue.h"

#include "evaluation/CatalogueFields.h"
#include "evaluation/LimitText.h"

#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace veltrano {
namespace {

std::string utf8(const std::u8string& s)
{
    return std::string(s.begin(), s.end());
}

std::string utf8(const std::filesystem::path& p)
{
    return utf8(p.u8string());
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
        throw CatalogueError("Die Katalogdatei " + quoted(file) +
                             " ist eine Access/Jet-Datenbank. Das Programm liest den Katalog als SQLite-Datenbank.");
    throw CatalogueError("Die Katalogdatei " + quoted(file) + " ist keine SQLite-Datenbank.");
}

// A catalogue is small: 90 rows of short texts, read in milliseconds.  A
// file that asks for more, by accident or made so on purpose, is refused
// rather than let the window or the command line hang or run out of memory.
constexpr auto kReadTimeLimit = std::chrono::seconds(5);
constexpr int kMaxFieldBytes = 64 * 1024;
// SQLite's own ceiling on any text, blob or row it builds while reading.
constexpr int kMaxValueBytes = 1024 * 1024;

// The file as an SQLite URI: read-only and immutable, so that SQLite takes
// no locks and creates nothing beside it (no -journal, -wal or -shm file),
// also for a catalogue in WAL mode and in a read-only folder or on read-only
// media.  Every byte of the path outside the unreserved characters is
// percent-encoded, so that '?', '#' and '%' in a folder name stay part of the
// path.
std::string immutableUri(const std::filesystem::path& file)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    if (ec)
        absolute = file;
    std::string uri = "file://";
    for (const char c : utf8(absolute.generic_u8string())) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/') {
            uri += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            uri += escaped;
        }
    }
    return uri + "?immutable=1&mode=ro";
}

// Called by SQLite every few thousand steps of its work: a read that is not
// done within the time limit is interrupted.
int stopWhenLate(void* deadline)
{
    return std::chrono::steady_clock::now() > *static_cast<std::chrono::steady_clock::time_point*>(deadline) ? 1 : 0;
}

// Why SQLite could not go on, in the program's words where it has them.
std::string sqliteReason(sqlite3* db)
{
    switch (sqlite3_errcode(db)) {
    case SQLITE_INTERRUPT:
        return "Das Lesen wurde nach " +
               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kReadTimeLimit).count()) +
               " Sekunden abgebrochen.";
    case SQLITE_TOOBIG:
        return "Ein Feld oder ein Datensatz ist zu lang.";
    case SQLITE_NOMEM:
        return "Der Speicher reicht nicht aus.";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        // SQLite's own words name the broken part.
        return std::string("Die Datenbank ist besch\u00E4digt (") + sqlite3_errmsg(db) + ").";
    default:
        return sqlite3_errmsg(db);
    }
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
        const std::string reason = sqliteReason(db);
        sqlite3_finalize(raw);
        throw CatalogueError("Die Katalogdatei " + quoted(file) + " kann nicht gelesen werden: " + reason);
    }
    return Stmt(raw);
}

} // namespace

const std::vector<std::string>& Catalogue::fieldNames()
{
    static const std::vector<std::string> names = {
        field::kGroup,   field::kThickness, field::kImperfection, field::kReference,
        field::kRemarks, field::kLevelD,    field::kLevelC,       field::kLevelB,
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
    const int rc = sqlite3_open_v2(immutableUri(m_file).c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) +
                             " kann nicht ge\u00F6ffnet werden: " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    // The catalogue's schema is data from outside: it may not call functions
    // with side effects, and nothing it asks for may grow without bound.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    auto deadline = std::chrono::steady_clock::now() + kReadTimeLimit;
    sqlite3_progress_handler(db.get(), 1000, stopWhenLate, &deadline);
    sqlite3_exec(db.get(), "PRAGMA query_only = ON", nullptr, nullptr, nullptr);

    // ISO5817 must be a real table of the file.  A view of that name would
    // run whatever query it holds each time it is read, without end for a
    // recursive one; the schema as SQLite parsed it says what the name is.
    {
        Stmt kind = prepare(db.get(), "PRAGMA main.table_list(" + quoteIdentifier(kTableName) + ")", m_file);
        std::string type;
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(kind.get())) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(kind.get(), 2));
            type = text ? text : "";
        }
        if (step != SQLITE_DONE)
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) +
                                 " kann nicht gelesen werden: " + sqliteReason(db.get()));
        if (type.empty())
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " enth\u00E4lt keine Tabelle " + kTableName +
                                 ".");
        if (type != "table")
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " enth\u00E4lt keine Tabelle " + kTableName +
                                 ": " + kTableName + " ist dort " +
                                 (type == "view"      ? "eine Sicht."
                                  : type == "virtual" ? "eine virtuelle Tabelle."
                                                      : "keine gew\u00F6hnliche Tabelle."));
    }

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
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) +
                                 " kann nicht gelesen werden: " + sqliteReason(db.get()));
        if (columns.empty())
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " enth\u00E4lt keine Tabelle " + kTableName +
                                 ".");
        for (const std::string& field : fieldNames()) {
            bool found = false;
            for (const std::string& c : columns)
                found = found || sqlite3_stricmp(c.c_str(), field.c_str()) == 0;
            if (!found)
                throw CatalogueError("In der Tabelle " + std::string(kTableName) + " der Katalogdatei " +
                                     quoted(m_file) + " fehlt das Feld " + field + ".");
        }
    }

    {
        Stmt count = prepare(db.get(), "SELECT count(*) FROM " + quoteIdentifier(kTableName), m_file);
        if (sqlite3_step(count.get()) != SQLITE_ROW)
            throw CatalogueError("Die Katalogdatei " + quoted(m_file) +
                                 " kann nicht gelesen werden: " + sqliteReason(db.get()));
        const auto n = sqlite3_column_int64(count.get(), 0);
        if (n > kMaxRecords)
            throw CatalogueError("Die Tabelle " + std::string(kTableName) + " der Katalogdatei " + quoted(m_file) +
                                 " hat " + std::to_string(n) + " Datens\u00E4tze; das Programm kann h\u00F6chstens " +
                                 std::to_string(kMaxRecords) + " aufnehmen.");
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
            throw CatalogueError("Die Tabelle " + std::string(kTableName) + " der Katalogdatei " + quoted(m_file) +
                                 " hat mehr als " + std::to_string(kMaxRecords) + " Datens\u00E4tze.");
        std::vector<std::string> row;
        row.reserve(fieldNames().size());
        for (int c = 0; c < static_cast<int>(fieldNames().size()); ++c) {
            // The length first, before anything is copied.
            if (sqlite3_column_bytes(select.get(), c) > kMaxFieldBytes)
                throw CatalogueError("Die Katalogdatei " + quoted(m_file) + " kann nicht gelesen werden: Das Feld " +
                                     fieldNames()[static_cast<std::size_t>(c)] + " im Datensatz " +
                                     std::to_string(rows.size() + 1) + " ist l\u00E4nger als " +
                                     std::to_string(kMaxFieldBytes / 1024) + " KiB.");
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select.get(), c));
            row.emplace_back(text ? text : "");
        }
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE)
        throw CatalogueError("Die Katalogdatei " + quoted(m_file) +
                             " kann nicht gelesen werden: " + sqliteReason(db.get()));

    std::vector<std::vector<bool>> verdicts;
    verdicts.reserve(rows.size());
    for (const auto& row : rows) {
        std::vector<bool>& told = verdicts.emplace_back();
        told.reserve(row.size());
        for (const std::string& text : row)
            told.push_back(containsZulaessig(text));
    }

    m_rows = std::move(rows);
    m_verdicts = std::move(verdicts);
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
    m_verdicts.clear();
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
    return FieldRefAt(row, index);
}

const std::string& Catalogue::FieldRefAt(int row, int index) const
{
    static const std::string kNone;
    if (!m_active || index < 0 || index >= static_cast<int>(fieldNames().size()) || row < 0 || row >= RecordCount())
        return kNone;
    return m_rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
}

bool Catalogue::FieldIsVerdictAt(int row, int index) const
{
    if (!m_active || index < 0 || index >= static_cast<int>(fieldNames().size()) || row < 0 || row >= RecordCount())
        return false;
    return m_verdicts[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
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

std::filesystem::path findCatalogueFile(const std::filesystem::path& programDir)
{
    const std::filesystem::path beside = catalogueFileIn(programDir);
    const std::filesystem::path installed =
        (programDir / ".." / "share" / "veltrano" / Catalogue::kFileName).lexically_normal();
    std::error_code ec;
    for (const std::filesystem::path& candidate : {beside, installed}) {
        if (std::filesystem::exists(candidate, ec))
            return candidate;
    }
    return beside;
}

} // namespace veltrano
