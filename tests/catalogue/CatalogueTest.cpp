// The catalogue component: opening and refusing files (also files made to
// hang or exhaust the reader), the cursor's moves and end flags, the change
// notifications, and that the file is never written and nothing appears
// beside it.
#include "catalogue/Catalogue.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace veltrano;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        m_path = fs::temp_directory_path() / ("veltrano-catalogue-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(m_path);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

// Builds a small SQLite catalogue: the given column list and n rows.
void makeDatabase(const fs::path& p, const std::string& table, const std::vector<std::string>& columns, int rows)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(p.string().c_str(), &db), SQLITE_OK);
    std::string create = "CREATE TABLE \"" + table + "\" (";
    for (std::size_t i = 0; i < columns.size(); ++i)
        create += (i ? ", \"" : "\"") + columns[i] + "\" TEXT";
    create += ")";
    ASSERT_EQ(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int r = 1; r <= rows; ++r) {
        std::string insert = "INSERT INTO \"" + table + "\" VALUES (";
        for (std::size_t i = 0; i < columns.size(); ++i)
            insert += (i ? ", '" : "'") + columns[i] + " " + std::to_string(r) + "'";
        insert += ")";
        ASSERT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Runs SQL on a database file, as a catalogue's maker or an attacker would.
void execute(const fs::path& p, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(p.string().c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// The catalogue's eight fields as columns of a query, each with the value given.
std::string fieldsAs(const std::string& value)
{
    std::string out;
    for (const std::string& field : Catalogue::fieldNames())
        out += (out.empty() ? "" : ", ") + value + " AS \"" + field + "\"";
    return out;
}

std::vector<std::string> listing(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string openError(const fs::path& p)
{
    Catalogue c(p);
    try {
        c.Open();
    } catch (const CatalogueError& e) {
        EXPECT_FALSE(c.Active());
        return e.what();
    }
    return {};
}

TEST(CatalogueOpen, RefusesUnusableFilesWithAReasonThatNamesTheProblem)
{
    TempDir dir;
    const auto fields = Catalogue::fieldNames();
    auto withoutField = fields;
    withoutField.erase(withoutField.begin() + 4); // Bemerkungen

    const fs::path missing = dir.path() / "fehlt.mdb";
    const fs::path text = dir.path() / "text.mdb";
    writeBytes(text, "Gruppe;tmm;...\n");
    const fs::path empty = dir.path() / "leer.mdb";
    writeBytes(empty, "");
    const fs::path jet = dir.path() / "jet.mdb";
    writeBytes(jet, std::string("\x00\x01\x00\x00Standard Jet DB\x00\x01\x00\x00\x00", 24) + std::string(2000, '\0'));
    const fs::path noTable = dir.path() / "andere.mdb";
    makeDatabase(noTable, "Katalog", fields, 3);
    const fs::path noField = dir.path() / "feld.mdb";
    makeDatabase(noField, "ISO5817", withoutField, 3);
    const fs::path tooMany = dir.path() / "gross.mdb";
    makeDatabase(tooMany, "ISO5817", fields, 91);
    const fs::path folder = dir.path() / "ordner.mdb";
    fs::create_directory(folder);

    struct Row {
        const char* name;
        fs::path file;
        const char* reason;
    } rows[] = {
        {"missing file", missing, "nicht vorhanden"},      {"text file", text, "keine SQLite-Datenbank"},
        {"empty file", empty, "keine SQLite-Datenbank"},   {"Access database", jet, "Access/Jet-Datenbank"},
        {"other table", noTable, "keine Tabelle ISO5817"}, {"missing field", noField, "fehlt das Feld Bemerkungen"},
        {"91 rows", tooMany, "91 Datens\u00E4tze"},        {"a folder", folder, "keine Datei"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string reason = openError(r.file);
        EXPECT_NE(reason.find(r.reason), std::string::npos) << reason;
        EXPECT_NE(reason.find(r.file.filename().string()), std::string::npos) << reason;
    }
}

// Files made to hang the reader or to make it ask for gigabytes are refused
// like any broken catalogue, and at once: the refusal comes before the query
// that would never end or never fit.
TEST(CatalogueOpen, RefusesFilesThatWouldHangOrExhaustTheReader)
{
    TempDir dir;
    const fs::path recursive = dir.path() / "rekursiv.mdb";
    execute(recursive,
            "CREATE VIEW ISO5817 AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT " +
                fieldsAs("n") + " FROM r");
    const fs::path huge = dir.path() / "zeroblob.mdb";
    execute(huge, "CREATE VIEW ISO5817 AS SELECT " + fieldsAs("zeroblob(2000000000)"));
    const fs::path shadow = dir.path() / "schatten.mdb";
    makeDatabase(shadow, "ISO5817", Catalogue::fieldNames(), 3);
    execute(shadow, "PRAGMA writable_schema = ON; INSERT INTO sqlite_master VALUES ('view', 'ISO5817', 'ISO5817', 0, "
                    "'CREATE VIEW ISO5817 AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT " +
                        fieldsAs("n") + " FROM r')");
    const fs::path longText = dir.path() / "langertext.mdb";
    makeDatabase(longText, "ISO5817", Catalogue::fieldNames(), 3);
    execute(longText, "UPDATE ISO5817 SET Bemerkungen = printf('%.*c', 65537, 'x') WHERE rowid = 2");
    const fs::path bigBlob = dir.path() / "blob.mdb";
    makeDatabase(bigBlob, "ISO5817", Catalogue::fieldNames(), 3);
    execute(bigBlob, "UPDATE ISO5817 SET hochB = zeroblob(2 * 1024 * 1024) WHERE rowid = 1");

    struct Row {
        const char* name;
        fs::path file;
        const char* reason;
    } rows[] = {
        {"recursive view in place of the table", recursive, "keine Tabelle ISO5817"},
        {"view of a 2 GB blob in place of the table", huge, "keine Tabelle ISO5817"},
        {"a view shadowing the table", shadow, "Die Datenbank ist besch\u00E4digt"},
        {"a text one byte over 64 KiB", longText, "Das Feld Bemerkungen im Datensatz 2 ist l\u00E4nger als 64 KiB"},
        {"a blob of 2 MiB", bigBlob, "zu lang"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string reason = openError(r.file);
        EXPECT_NE(reason.find(r.reason), std::string::npos) << reason;
        EXPECT_NE(reason.find(r.file.filename().string()), std::string::npos) << reason;
    }
}

TEST(CatalogueOpen, TextsUpTo64KiBAreRead)
{
    TempDir dir;
    const fs::path p = dir.path() / "ISO5817.mdb";
    makeDatabase(p, "ISO5817", Catalogue::fieldNames(), 3);
    execute(p, "UPDATE ISO5817 SET Bemerkungen = printf('%.*c', 65536, 'x') WHERE rowid = 3");
    Catalogue c(p);
    c.Open();
    c.Last();
    EXPECT_EQ(c.FieldText("Bemerkungen"), std::string(65536, 'x'));
}

TEST(CatalogueOpen, NinetyRowsFitTheResultCache)
{
    TempDir dir;
    const fs::path p = dir.path() / "ISO5817.mdb";
    makeDatabase(p, "ISO5817", Catalogue::fieldNames(), 90);
    Catalogue c(p);
    c.Open();
    EXPECT_EQ(c.RecordCount(), 90);
    c.Last();
    EXPECT_EQ(c.RecNo(), 90);
    EXPECT_EQ(c.FieldText("hochB"), "hochB 90");
}

struct ShippedCatalogue : ::testing::Test {
    Catalogue catalogue{VELTRANO_TEST_CATALOGUE};
    std::vector<int> notified;

    void SetUp() override
    {
        catalogue.setDataChangeHandler([this] { notified.push_back(catalogue.RecNo()); });
        catalogue.Open();
    }
};

TEST_F(ShippedCatalogue, OpensOnRowOneAndHolds89Rows)
{
    EXPECT_EQ(notified, std::vector<int>{1});
    EXPECT_TRUE(catalogue.Active());
    EXPECT_TRUE(catalogue.Bof());
    EXPECT_FALSE(catalogue.Eof());
    EXPECT_EQ(catalogue.RecordCount(), 89);
    EXPECT_EQ(catalogue.RecNo(), 1);
    catalogue.Open(); // already open: nothing happens
    EXPECT_EQ(notified.size(), 1u);
    catalogue.Last();
    EXPECT_EQ(catalogue.RecNo(), 89);
}

TEST_F(ShippedCatalogue, EndFlagsFollowTheMoves)
{
    catalogue.SetRecNo(2);
    notified.clear();
    catalogue.Prior(); // to row 1: Bof is not set by arriving there
    EXPECT_EQ(catalogue.RecNo(), 1);
    EXPECT_FALSE(catalogue.Bof());
    catalogue.Prior(); // an attempt before row 1 sets Bof and still notifies
    EXPECT_EQ(catalogue.RecNo(), 1);
    EXPECT_TRUE(catalogue.Bof());
    catalogue.Prior(); // Bof already set: nothing at all
    EXPECT_EQ(notified, (std::vector<int>{1, 1}));

    catalogue.Next(); // clears Bof
    EXPECT_FALSE(catalogue.Bof());
    EXPECT_EQ(catalogue.RecNo(), 2);

    catalogue.Last();
    EXPECT_TRUE(catalogue.Eof());
    notified.clear();
    catalogue.Next(); // Eof already set by Last
    EXPECT_TRUE(notified.empty());
    catalogue.Prior();
    EXPECT_FALSE(catalogue.Eof());
    EXPECT_EQ(catalogue.RecNo(), 88);
    catalogue.Next();
    catalogue.Next(); // an attempt past the last row
    EXPECT_TRUE(catalogue.Eof());
    EXPECT_EQ(notified, (std::vector<int>{88, 89, 89}));

    notified.clear();
    catalogue.First();
    catalogue.First(); // notifies even on the same row
    EXPECT_EQ(notified, (std::vector<int>{1, 1}));
    EXPECT_TRUE(catalogue.Bof());
}

TEST_F(ShippedCatalogue, WalkVisitsEveryRowAndReturnsToItsStart)
{
    catalogue.SetRecNo(40);
    notified.clear();
    WalkAllRows(catalogue);
    std::vector<int> expected;
    for (int r = 1; r <= 89; ++r)
        expected.push_back(r);
    expected.push_back(89); // the final Next that finds the end
    expected.push_back(40); // back at the bookmark
    EXPECT_EQ(notified, expected);
    EXPECT_EQ(catalogue.RecNo(), 40);
}

TEST_F(ShippedCatalogue, CloseAndOpenAgain)
{
    catalogue.SetRecNo(30);
    catalogue.Close();
    EXPECT_FALSE(catalogue.Active());
    EXPECT_EQ(catalogue.RecNo(), 0);
    EXPECT_EQ(catalogue.FieldText("hochB"), "");
    WalkAllRows(catalogue); // a closed table is not walked
    notified.clear();
    catalogue.Open();
    EXPECT_EQ(notified, std::vector<int>{1});
}

TEST_F(ShippedCatalogue, FieldTextsOfTheCurrentRow)
{
    EXPECT_FALSE(catalogue.FieldText("Unregelm\u00E4\u00DFigkeit").empty());
    EXPECT_EQ(catalogue.FieldText("hochb"), catalogue.FieldText("hochB")); // field names ignore case
    EXPECT_EQ(catalogue.FieldText("kein Feld"), "");
    CatalogueLimitField field(catalogue, "mittelC");
    EXPECT_EQ(field.text(), catalogue.FieldText("mittelC"));
    field.setDataField("niedrigD");
    EXPECT_EQ(field.text(), catalogue.FieldText("niedrigD"));
}

TEST(CatalogueFile, IsNeverWritten)
{
    TempDir dir;
    const fs::path copy = dir.path() / "ISO5817.mdb";
    fs::copy_file(VELTRANO_TEST_CATALOGUE, copy);
    const std::string before = readBytes(copy);
    {
        Catalogue c(copy);
        c.Open();
        WalkAllRows(c);
        c.Last();
        c.Prior();
        c.Close();
        c.Open();
        c.Close();
    }
    EXPECT_EQ(readBytes(copy), before);
    EXPECT_EQ(listing(dir.path()), std::vector<std::string>{"ISO5817.mdb"}); // no journal or lock files left
}

// A catalogue saved in WAL mode would have a plain read-only open create its
// -wal and -shm files beside it, and fail where it cannot (a read-only
// folder or medium).  As root the folder's mode stops nothing, so what
// proves it is that nothing appears beside the file.
TEST(CatalogueFile, WalCatalogueIsReadWithoutCreatingAnythingBesideIt)
{
    TempDir dir;
    const fs::path folder = dir.path() / "nur-lesen";
    fs::create_directory(folder);
    const fs::path p = folder / "ISO5817.mdb";
    makeDatabase(p, "ISO5817", Catalogue::fieldNames(), 2);
    execute(p, "PRAGMA journal_mode = WAL; INSERT INTO ISO5817 (Gruppe, hochB) VALUES ('Gruppe 3', 'hochB 3')");
    ASSERT_EQ(readBytes(p).substr(18, 2), std::string("\x02\x02", 2)); // still in WAL mode when closed
    const std::string before = readBytes(p);

    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    Catalogue c(p);
    std::string error;
    try {
        c.Open();
    } catch (const CatalogueError& e) {
        error = e.what();
    }
    const std::vector<std::string> names = listing(folder);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(error, "");
    EXPECT_EQ(c.RecordCount(), 3);
    c.Last();
    EXPECT_EQ(c.FieldText("hochB"), "hochB 3");
    EXPECT_EQ(names, std::vector<std::string>{"ISO5817.mdb"});
    EXPECT_EQ(readBytes(p), before);
}

// The file is handed to SQLite as a URI: characters that mean something in
// a URI must stay part of the folder's and the file's name.
TEST(CatalogueFile, OpensInAFolderWhoseNameLooksLikeAUri)
{
    TempDir dir;
    const fs::path folder = dir.path() / "Pr\u00FCfung 100% #2?mode=rwc&immutable=0";
    fs::create_directory(folder);
    const fs::path p = folder / "ISO5817 %41.mdb";
    makeDatabase(p, "ISO5817", Catalogue::fieldNames(), 4);
    Catalogue c(p);
    c.Open();
    EXPECT_EQ(c.RecordCount(), 4);
    EXPECT_EQ(listing(folder), std::vector<std::string>{"ISO5817 %41.mdb"});
}

// An installed program keeps its catalogue in the data folder beside its
// bin folder; a portable copy keeps one beside the executable, which wins.
TEST(CatalogueLookup, BesideTheProgramFirstThenTheInstalledDataFolder)
{
    struct Row {
        const char* name;
        bool beside;
        bool installed;
        const char* expected; // relative to the installation's root
    } rows[] = {
        {"portable copy", true, false, "bin/ISO5817.mdb"},
        {"installed program", false, true, "share/veltrano/ISO5817.mdb"},
        {"portable copy inside an installation", true, true, "bin/ISO5817.mdb"},
        {"no catalogue anywhere: reported beside the program", false, false, "bin/ISO5817.mdb"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TempDir root;
        const fs::path bin = root.path() / "bin";
        fs::create_directories(bin);
        fs::create_directories(root.path() / "share" / "veltrano");
        if (r.beside)
            writeBytes(bin / "ISO5817.mdb", "beside");
        if (r.installed)
            writeBytes(root.path() / "share" / "veltrano" / "ISO5817.mdb", "installed");
        const fs::path found = findCatalogueFile(bin);
        EXPECT_EQ(found, root.path() / r.expected);
    }
}

} // namespace
