// The record file: what the program writes it reads back byte for byte,
// members it does not know travel along, and a broken or bad file is refused
// with its place (line and column, or the field) and is never overwritten.
#include "record/RecordFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace veltrano;
using namespace veltrano::record;
namespace fs = std::filesystem;

namespace {

// The canonical form, as saveRecord writes it: known members in their fixed
// order, unknown ones after them, numbers as written.
const char* const kCanonical = R"({
  "format": "veltrano-record",
  "version": 1,
  "inspection": {
    "order": "A-4711",
    "component": "Träger T3",
    "standard": "DIN EN ISO 5817",
    "method": "VT",
    "inspector": "R. Weber",
    "qualification": "ISO 9712 VT 2",
    "date": "2026-12-10",
    "remarks": "Zeile eins\nZeile \"zwei\"",
    "x-customer": {
      "ref": [
        1,
        2.50,
        "drei",
        {},
        []
      ]
    }
  },
  "welds": [
    {
      "id": "N1",
      "seam": "butt",
      "level": "C",
      "t": 3.30,
      "l": "99,5",
      "b": 12,
      "bw": 2,
      "welder_test": false,
      "welder": "S-12",
      "findings": [
        {
          "record": 13,
          "value": 0.330,
          "length": 1E1,
          "remark": "Wurzelseite",
          "judgement": "accepted",
          "x-photo": "img_001.jpg"
        }
      ],
      "x-station": null
    },
    {
      "id": "N2",
      "seam": "fillet",
      "level": "B",
      "t": 5,
      "l": 100,
      "b": 7,
      "bw": 1,
      "findings": []
    }
  ],
  "x-generator": true
}
)";

class TempFolder {
public:
    TempFolder()
    {
        std::random_device seed;
        m_path = fs::temp_directory_path() / ("veltrano-record-test-" + std::to_string(seed()));
        fs::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    fs::path file(const std::string& name) const { return m_path / name; }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_path), fs::directory_iterator()));
    }

private:
    fs::path m_path;
};

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const fs::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// The error of parsing a text, or a failure when there is none.
RecordError errorOf(const std::string& text)
{
    try {
        parseRecord(text, "pruefung.json");
    } catch (const RecordError& e) {
        return e;
    }
    ADD_FAILURE() << "accepted: " << text;
    return RecordError("", 0, 0, "", "");
}

} // namespace

TEST(RecordFile, ReadsTheModelAsWritten)
{
    const Record r = parseRecord(kCanonical, "pruefung.json");
    EXPECT_EQ(r.inspection.component, "Träger T3");
    EXPECT_FALSE(r.inspection.drawing);
    ASSERT_EQ(r.welds.size(), 2u);
    const Weld& w = r.welds[0];
    EXPECT_EQ(w.level, QualityLevel::C);
    EXPECT_EQ(w.t.text, "3.30");
    EXPECT_EQ(w.t.value()->text(), "3.3");
    EXPECT_TRUE(w.l.quoted);
    EXPECT_EQ(w.l.value()->text(), "99.5");
    EXPECT_EQ(w.welderTest, false);
    EXPECT_FALSE(w.railBridge);
    ASSERT_EQ(w.findings.size(), 1u);
    EXPECT_EQ(w.findings[0].value.text, "0.330");
    EXPECT_EQ(w.findings[0].length->value()->text(), "10");
    EXPECT_EQ(w.findings[0].judgement, Judgement::Accepted);
    ASSERT_EQ(w.findings[0].extra.size(), 1u);
    EXPECT_EQ(w.findings[0].extra[0].first, "x-photo");
    EXPECT_EQ(r.welds[1].seam, SeamType::Fillet);
    EXPECT_EQ(r.inspection.standardOrDefault(), "DIN EN ISO 5817");
    EXPECT_EQ(Inspection{}.standardOrDefault(), "DIN EN ISO 5817");
}

TEST(RecordFile, RoundTripIsByteStable)
{
    EXPECT_EQ(serializeRecord(parseRecord(kCanonical, "a.json")), kCanonical);

    TempFolder folder;
    const fs::path file = folder.file("pruefung.json");
    saveRecord(parseRecord(kCanonical, "a.json"), file);
    EXPECT_EQ(readAll(file), kCanonical);
    saveRecord(loadRecord(file), file);
    EXPECT_EQ(readAll(file), kCanonical);
    EXPECT_EQ(folder.entries(), 1u) << "no temporary file stays behind";
}

TEST(RecordFile, ForeignLayoutIsSavedInTheCanonicalFormWithEverythingKept)
{
    // Unknown members first, compact layout, known members out of order.
    const std::string foreign =
        R"({"x-first":{"a":[1.50,true]},"welds":[{"findings":[{"judgement":"rejected","value":"0,35","record":13}],)"
        R"("bw":2,"b":12,"l":100,"t":3.3,"level":"C","seam":"butt","id":"N1","x-w":"w"}],)"
        R"("inspection":{"x-h":1,"date":"2026-12-10T08:30:00+01:00"},"version":1,"format":"veltrano-record"})";
    const std::string saved = serializeRecord(parseRecord(foreign, "f.json"));
    const auto j = nlohmann::ordered_json::parse(saved);
    EXPECT_EQ(j["x-first"]["a"][1], true);
    EXPECT_NE(saved.find("1.50"), std::string::npos) << "a number keeps its digits";
    EXPECT_EQ(j["welds"][0]["findings"][0]["value"], "0,35") << "a number in quotes stays a text";
    EXPECT_EQ(j["welds"][0]["x-w"], "w");
    EXPECT_EQ(j["inspection"]["x-h"], 1);
    EXPECT_EQ(j.begin().key(), "format");
    EXPECT_EQ(serializeRecord(parseRecord(saved, "f.json")), saved);
}

TEST(RecordFile, BrokenFilesAreRefusedWithLineAndColumn)
{
    struct Case {
        const char* name;
        std::string text;
        std::size_t line, column;
    };
    const Case cases[] = {
        {"missing comma", "{\n  \"format\": \"veltrano-record\"\n  \"version\": 1\n}", 3, 3},
        {"cut short", "{\n  \"format\": \"veltrano-record\",\n  \"welds\": [", 3, 13},
        {"text after the end", "{\"format\":\"veltrano-record\"} x", 1, 30},
        // the column counts characters: "ä" is two bytes but one column
        {"after an umlaut", "{\"order\": \"Träger\" ,, }", 1, 21},
        {"invalid UTF-8", "{\"order\": \"Tr\xE4ger\"}", 1, 14},
        {"empty file", "", 1, 1},
    };
    for (const Case& c : cases) {
        const RecordError e = errorOf(c.text);
        EXPECT_EQ(e.line(), c.line) << c.name << ": " << e.what();
        EXPECT_EQ(e.column(), c.column) << c.name << ": " << e.what();
        EXPECT_EQ(e.file(), "pruefung.json") << c.name;
        EXPECT_NE(std::string(e.what()).find("pruefung.json: Zeile "), std::string::npos) << e.what();
    }
}

TEST(RecordFile, BadValuesAreRefusedWithTheirField)
{
    struct Case {
        const char* name;
        const char* pointer; // JSON pointer into the canonical record
        nlohmann::ordered_json value;
        const char* field;
    };
    using J = nlohmann::ordered_json;
    const Case cases[] = {
        {"unknown level", "/welds/1/level", "E", "welds[1].level"},
        {"level in lower case", "/welds/1/level", "b", "welds[1].level"},
        {"unknown seam", "/welds/0/seam", "none", "welds[0].seam"},
        {"record 0", "/welds/0/findings/0/record", 0, "welds[0].findings[0].record"},
        {"record 90", "/welds/0/findings/0/record", 90, "welds[0].findings[0].record"},
        {"record not whole", "/welds/0/findings/0/record", 13.5, "welds[0].findings[0].record"},
        {"record as text", "/welds/0/findings/0/record", "13", "welds[0].findings[0].record"},
        {"negative value", "/welds/0/findings/0/value", -0.1, "welds[0].findings[0].value"},
        {"non-numeric value", "/welds/0/findings/0/value", "0,3 mm", "welds[0].findings[0].value"},
        {"exponent inside a text", "/welds/0/findings/0/value", "3e-1", "welds[0].findings[0].value"},
        {"value true", "/welds/0/findings/0/value", true, "welds[0].findings[0].value"},
        {"negative length", "/welds/0/findings/0/length", -5, "welds[0].findings[0].length"},
        {"unknown judgement", "/welds/0/findings/0/judgement", "ok", "welds[0].findings[0].judgement"},
        {"duplicate weld id", "/welds/1/id", "N1", "welds[1].id"},
        {"empty weld id", "/welds/1/id", "", "welds[1].id"},
        {"t below 0.5", "/welds/0/t", 0.49, "welds[0].t"},
        {"t with three decimals", "/welds/0/t", "3,333", "welds[0].t"},
        {"l above 1000", "/welds/0/l", 1000.01, "welds[0].l"},
        {"b above 100", "/welds/0/b", 101, "welds[0].b"},
        {"bw below 1", "/welds/1/bw", 0.5, "welds[1].bw"},
        {"option not a flag", "/welds/0/welder_test", "ja", "welds[0].welder_test"},
        {"header not a text", "/inspection/order", 4711, "inspection.order"},
        {"date not ISO 8601", "/inspection/date", "10.12.2026", "inspection.date"},
        {"date of no calendar", "/inspection/date", "2026-02-29", "inspection.date"},
        {"findings not a list", "/welds/1/findings", J::object(), "welds[1].findings"},
        {"weld not an object", "/welds/1", 7, "welds[1]"},
        {"other format", "/format", "veltrano-batch", "format"},
        {"version as text", "/version", "1", "version"},
        {"version 0", "/version", 0, "version"},
    };
    for (const Case& c : cases) {
        auto j = J::parse(kCanonical);
        j[J::json_pointer(c.pointer)] = c.value;
        const RecordError e = errorOf(j.dump());
        EXPECT_EQ(e.field(), c.field) << c.name << ": " << e.what();
        EXPECT_EQ(e.line(), 0u) << c.name;
        EXPECT_EQ(std::string(e.what()).rfind(std::string("pruefung.json: ") + c.field + ": ", 0), 0u)
            << c.name << ": " << e.what();
    }

    // Missing members name the field that is missing.
    for (const auto& [pointer, field] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/welds/0/findings/0/value", "welds[0].findings[0].value"},
             {"/welds/1/bw", "welds[1].bw"},
             {"/welds", "welds"},
             {"/version", "version"}}) {
        auto j = J::parse(kCanonical);
        const std::string p = pointer;
        j[J::json_pointer(p.substr(0, p.rfind('/')))].erase(p.substr(p.rfind('/') + 1));
        EXPECT_EQ(errorOf(j.dump()).field(), field);
    }

    // A key twice in one object is named by its path.
    const RecordError twice = errorOf(R"({"format":"veltrano-record","version":1,"welds":[{"id":"a","id":"b"}]})");
    EXPECT_EQ(twice.field(), "welds[0].id");
}

TEST(RecordFile, NewerVersionIsRefusedBeforeItsContent)
{
    // A version 2 file may be built quite differently; only its version is read.
    const RecordError e = errorOf(R"({"format":"veltrano-record","version":2,"welds":"anders"})");
    EXPECT_EQ(e.field(), "version");
    EXPECT_NE(e.message().find("neuer als diese Programmversion"), std::string::npos) << e.what();
}

TEST(RecordFile, UnreadableFileIsNeverOverwritten)
{
    TempFolder folder;
    const Record good = parseRecord(kCanonical, "a.json");
    const std::string newer = R"({"format":"veltrano-record","version":2,"welds":[]})";
    for (const std::string& content : {std::string("{ kaputt"), newer, std::string("Einkaufsliste\n")}) {
        const fs::path file = folder.file("alt.json");
        writeAll(file, content);
        EXPECT_THROW(saveRecord(good, file), RecordError) << content;
        EXPECT_EQ(readAll(file), content);
        EXPECT_EQ(folder.entries(), 1u);
        fs::remove(file);
    }

    // An invalid record in memory is not saved over a good file either.
    const fs::path file = folder.file("gut.json");
    saveRecord(good, file);
    Record bad = good;
    bad.welds[0].findings[0].record = 0;
    try {
        saveRecord(bad, file);
        ADD_FAILURE() << "saved a record with record 0";
    } catch (const RecordError& e) {
        EXPECT_EQ(e.field(), "welds[0].findings[0].record");
    }
    EXPECT_EQ(readAll(file), kCanonical);
}

TEST(RecordFile, MissingFileIsNamed)
{
    TempFolder folder;
    try {
        loadRecord(folder.file("fehlt.json"));
        ADD_FAILURE();
    } catch (const RecordError& e) {
        EXPECT_NE(std::string(e.what()).find("fehlt.json"), std::string::npos);
    }
}
