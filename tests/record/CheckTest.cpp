// The --check output: the table a person reads, the JSON a program reads,
// and the exit status of each verdict and of a file that cannot be read.
#include "record/Check.h"

#include "FixtureRows.h"
#include "record/RecordFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using namespace veltrano::record;
namespace fs = std::filesystem;

namespace {

class TempFile {
public:
    explicit TempFile(const std::string& text)
    {
        std::random_device seed;
        m_path = fs::temp_directory_path() / ("veltrano-check-" + std::to_string(seed()) + ".json");
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~TempFile()
    {
        std::error_code ec;
        fs::remove(m_path, ec);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string recordWith(const std::string& findingsN1, const std::string& findingsN2 = "")
{
    return R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-4711","inspector":"R. Weber"},)"
           R"("welds":[{"id":"N1","seam":"butt","level":"C","t":3.3,"l":100,"b":12,"bw":2,"findings":[)" +
           findingsN1 + R"(]},{"id":"N2","seam":"fillet","level":"D","t":5,"l":60,"b":7,"bw":1,"findings":[)" +
           findingsN2 + "]}]}";
}

struct CheckRun {
    int status;
    std::string out, err;
};

CheckRun check(const std::string& text, CheckOptions::Format format)
{
    const TempFile file(text);
    const FixtureRows rows;
    std::ostringstream out, err;
    CheckOptions options;
    options.format = format;
    const int status = checkRecordFile(file.path(), rows, options, out, err);
    return {status, out.str(), err.str()};
}

} // namespace

TEST(Check, ExitStatusFollowsTheRecordVerdict)
{
    struct Case {
        const char* name;
        std::string text;
        int status;
    };
    const Case cases[] = {
        {"all accepted", recordWith(R"({"record":13,"value":0.33})"), 0},
        {"one rejected among open", recordWith(R"({"record":13,"value":0.34})", R"({"record":29,"value":1})"), 1},
        {"open, nothing rejected", recordWith(R"({"record":13,"value":0.33})", R"({"record":29,"value":1})"), 6},
        {"no findings at all", recordWith(""), 0},
        {"no welds", R"({"format":"veltrano-record","version":1,"welds":[]})", 6},
    };
    for (const Case& c : cases) {
        for (auto format : {CheckOptions::Format::Table, CheckOptions::Format::Json}) {
            const CheckRun r = check(c.text, format);
            EXPECT_EQ(r.status, c.status) << c.name;
            EXPECT_EQ(r.err, "") << c.name;
        }
    }
}

TEST(Check, UnreadableRecordGivesFiveAndItsPlaceOnStderr)
{
    const CheckRun broken = check("{\n  \"format\": \"veltrano-record\",,\n}", CheckOptions::Format::Json);
    EXPECT_EQ(broken.status, kCheckUnreadable);
    EXPECT_EQ(broken.out, "");
    EXPECT_NE(broken.err.find(".json: Zeile 2, Spalte 31: "), std::string::npos) << broken.err;

    const CheckRun bad = check(recordWith(R"({"record":90,"value":1})"), CheckOptions::Format::Table);
    EXPECT_EQ(bad.status, kCheckUnreadable);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find(".json: welds[0].findings[0].record: "), std::string::npos) << bad.err;

    const FixtureRows rows;
    std::ostringstream out, err;
    EXPECT_EQ(checkRecordFile(fs::temp_directory_path() / "veltrano-gibt-es-nicht.json", rows, {}, out, err),
              kCheckUnreadable);
    EXPECT_NE(err.str().find("veltrano-gibt-es-nicht.json"), std::string::npos);
}

TEST(Check, JsonNamesEveryVerdictWithItsExactLimit)
{
    const CheckRun r =
        check(recordWith(R"({"record":13,"value":0.35},{"record":20,"value":"115"},{"record":1,"value":0})",
                         R"({"record":12,"value":"0,1"})"),
              CheckOptions::Format::Json);
    ASSERT_EQ(r.status, 1) << r.err;
    ASSERT_EQ(r.out.back(), '\n');
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line";
    const auto j = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(j["verdict"], "rejected");
    ASSERT_EQ(j["welds"].size(), 2u);
    const auto& n1 = j["welds"][0];
    EXPECT_EQ(n1["id"], "N1");
    EXPECT_EQ(n1["verdict"], "rejected");
    EXPECT_EQ(n1["findings"][0], nlohmann::ordered_json::parse(
                                     R"({"record":13,"verdict":"rejected","value":"0.35","limit":"0.33","unit":"mm",)"
                                     R"("bound":"max","reason":"Messwert 0,35 mm > Grenzwert 0,33 mm"})"));
    EXPECT_EQ(n1["findings"][1]["limit"], "110");
    EXPECT_EQ(n1["findings"][1]["unit"], "°");
    EXPECT_EQ(n1["findings"][1]["bound"], "min");
    EXPECT_EQ(n1["findings"][2]["verdict"], "rejected");
    EXPECT_FALSE(n1["findings"][2].contains("limit")) << "a verdict text has no numeric limit";
    const auto& n2 = j["welds"][1];
    EXPECT_EQ(n2["verdict"], "open");
    EXPECT_FALSE(n2["findings"][0].contains("limit"));
    EXPECT_EQ(n2["findings"][0]["reason"], "nicht zutreffend für diese Naht (Kehlnaht, t = 5 mm)");
}

TEST(Check, TableForAPerson)
{
    const CheckRun r =
        check(recordWith(R"({"record":13,"value":0.35},{"record":12,"value":0.1})"), CheckOptions::Format::Table);
    EXPECT_EQ(r.status, 1);
    const std::string expected =
        "Prüfprotokoll FILE\n"
        "Norm: DIN EN ISO 5817\n"
        "Auftrag: A-4711\n"
        "Prüfer: R. Weber\n"
        "\n"
        "Naht N1 (Stumpfnaht, Bewertungsgruppe C, t = 3,3 mm, l = 100 mm, b = 12 mm, bw = 2 mm)\n"
        "  Nr  Ordnungsnr.  Unregelmäßigkeit  Messwert  Grenzwert         Ergebnis        Begründung\n"
        "  13  5011, 5012   Einbrandkerbe     0,35 mm   0,33 mm           zurückgewiesen  "
        "Messwert 0,35 mm > Grenzwert 0,33 mm\n"
        "  12  5011, 5012   Einbrandkerbe     0,1       nicht zutreffend  offen           "
        "nicht zutreffend für diese Naht (Stumpfnaht, t = 3,3 mm)\n"
        "Naht N1: zurückgewiesen (2 Befunde: 1 zurückgewiesen, 1 offen)\n"
        "\n"
        "Naht N2 (Kehlnaht, Bewertungsgruppe D, t = 5 mm, l = 60 mm, b = 7 mm, bw = 1 mm)\n"
        "Naht N2: angenommen (keine Befunde)\n"
        "\n"
        "Protokoll: zurückgewiesen (2 Nähte: 1 zurückgewiesen, 1 angenommen)\n";
    std::string out = r.out;
    const auto nameEnd = out.find('\n');
    out.replace(std::string("Prüfprotokoll ").size(), nameEnd - std::string("Prüfprotokoll ").size(), "FILE");
    EXPECT_EQ(out, expected);
}

// The JSON is written piece by piece; it must be, byte for byte, the compact
// dump of the same verdicts built as one document: texts with quotes,
// backslashes, control characters, non-ASCII and a broken byte, numbers of
// every kind of row, welds without findings, over many welds.
TEST(Check, JsonIsTheCompactDumpOfTheVerdicts)
{
    const int rowsUsed[] = {1, 10, 12, 13, 15, 16, 20, 29, 30, 33, 38, 51, 57};
    const char* values[] = {"0.35", "\"115\"", "0", "\"0,1\"", "1e-1", "2.50", "\"3\"", "0.330"};
    const char* ids[] = {"N", "Naht \\\"A\\\" ", "N\\\\", "N\\u0001\\t", "Stoß ", "N\\u2028", "N\\u007f"};
    std::string text = R"({"format":"veltrano-record","version":1,"welds":[)";
    for (int w = 0; w < 200; ++w) {
        text += std::string(w ? "," : "") + R"({"id":")" + ids[w % 7] + std::to_string(w) + R"(","seam":")" +
                (w % 2 ? "fillet" : "butt") + R"(","level":")" + "BCD"[w % 3] + R"(","t":)" +
                std::to_string(3 + w % 9) + R"(,"l":100,"b":12,"bw":2,"findings":[)";
        for (int f = 0; f < w % 6; ++f)
            text += std::string(f ? "," : "") + R"({"record":)" + std::to_string(rowsUsed[(w + f) % 13]) +
                    R"(,"value":)" + values[(w * 3 + f) % 8] + "}";
        text += "]}";
    }
    text += "]}";
    Record record = parseRecord(text, "big.json");
    record.welds[3].id = "N\xFF\xC3";
    const FixtureRows rows;
    const RecordVerdict verdict = judgeRecord(record, rows);

    nlohmann::ordered_json root;
    root["verdict"] = verdictKey(verdict.verdict);
    root["reason"] = verdict.reason;
    root["welds"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < record.welds.size(); ++i) {
        const WeldVerdict& wv = verdict.welds[i];
        nlohmann::ordered_json w;
        w["id"] = record.welds[i].id;
        w["verdict"] = verdictKey(wv.verdict);
        w["reason"] = wv.reason;
        w["findings"] = nlohmann::ordered_json::array();
        for (std::size_t k = 0; k < wv.findings.size(); ++k) {
            const FindingVerdict& fv = wv.findings[k];
            nlohmann::ordered_json f;
            f["record"] = fv.record;
            f["verdict"] = verdictKey(fv.verdict);
            if (const auto value = record.welds[i].findings[k].value.value())
                f["value"] = value->text(".");
            if (fv.limit) {
                f["limit"] = fv.limit->text(".");
                f["unit"] = fv.unit;
                f["bound"] = fv.bound == Bound::Min ? "min" : "max";
            }
            f["reason"] = fv.reason;
            w["findings"].push_back(std::move(f));
        }
        root["welds"].push_back(std::move(w));
    }
    std::ostringstream out;
    writeCheckJson(out, record, verdict);
    EXPECT_EQ(out.str(), root.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n');
    for (const char* kind : {"\"limit\":", "\"bound\":\"min\"", "\"bound\":\"max\"", "\"findings\":[]", "\\\"", "\\\\",
                             "\\u0001", "\\t", "\xEF\xBF\xBD", "\u2028"})
        EXPECT_NE(out.str().find(kind), std::string::npos) << "the record lacks a case: " << kind;
}
