// Build step: turns the authored catalogue text (ISO5817.tsv) into the
// catalogue database ISO5817.mdb beside the executables.
//
// The text is UTF-8, one row per line, eight tab-separated fields in the
// order of the header line.  "\n" in a field is a line break, "\\" a
// backslash.  Lines starting with '#' and empty lines are ignored.  The
// database is written under a temporary name and renamed when complete.

#include "catalogue/Catalogue.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// SQLite takes file names in UTF-8 on every system; path::string() is the
// narrow code page on Windows.
std::string utf8Path(const std::filesystem::path& p)
{
    const std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

// The text's columns are the catalogue's fields, in the program's order.
const std::vector<std::string>& kFields = veltrano::Catalogue::fieldNames();

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == '\t')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

bool unescape(const std::string& in, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i == in.size())
            return false;
        if (in[i] == 'n')
            out += '\n';
        else if (in[i] == '\\')
            out += '\\';
        else
            return false;
    }
    return true;
}

int fail(const std::string& message)
{
    std::cerr << "make_catalogue: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: make_catalogue SOURCE.tsv TARGET.mdb");
    const std::filesystem::path source = argv[1];
    const std::filesystem::path target = argv[2];

    std::ifstream in(source, std::ios::binary);
    if (!in)
        return fail("cannot read " + source.string());

    std::vector<std::vector<std::string>> rows;
    bool haveHeader = false;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)
            line.erase(0, 3);
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> cells = splitTabs(line);
        const std::string where = source.string() + ":" + std::to_string(lineNo) + ": ";
        if (cells.size() != kFields.size())
            return fail(where + "expected " + std::to_string(kFields.size()) + " fields, found " +
                        std::to_string(cells.size()));
        if (!haveHeader) {
            if (cells != kFields)
                return fail(where + "the header line must name the eight catalogue fields in order");
            haveHeader = true;
            continue;
        }
        std::vector<std::string> row(cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (!unescape(cells[i], row[i]))
                return fail(where + "bad escape in field " + kFields[i]);
        }
        rows.push_back(std::move(row));
    }
    if (!haveHeader)
        return fail(source.string() + ": no header line");

    std::filesystem::path temp = target;
    temp += ".tmp";
    std::error_code ec;
    std::filesystem::remove(temp, ec);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(utf8Path(temp).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return fail("cannot create " + temp.string());
    }
    std::string create = "CREATE TABLE ISO5817 (";
    std::string insert = "INSERT INTO ISO5817 VALUES (";
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        create += (i ? ", \"" : "\"") + kFields[i] + "\" TEXT";
        insert += i ? ", ?" : "?";
    }
    create += ")";
    insert += ")";

    bool ok = sqlite3_exec(db, "PRAGMA journal_mode = DELETE; BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* stmt = nullptr;
    ok = ok && sqlite3_prepare_v2(db, insert.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
    for (std::size_t r = 0; ok && r < rows.size(); ++r) {
        for (std::size_t i = 0; i < rows[r].size(); ++i)
            sqlite3_bind_text(stmt, static_cast<int>(i + 1), rows[r][i].c_str(), static_cast<int>(rows[r][i].size()),
                              SQLITE_TRANSIENT);
        ok = sqlite3_step(stmt) == SQLITE_DONE && sqlite3_reset(stmt) == SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string error = sqlite3_errmsg(db);
    ok = (sqlite3_close(db) == SQLITE_OK) && ok;
    if (!ok) {
        std::filesystem::remove(temp, ec);
        return fail("cannot write " + temp.string() + ": " + error);
    }
    std::filesystem::rename(temp, target, ec);
    if (ec)
        return fail("cannot rename " + temp.string() + " to " + target.string() + ": " + ec.message());
    return 0;
}
