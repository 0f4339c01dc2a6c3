// veltrano-limits from the outside: the documented examples, its output
// formats, batch mode and its exit codes.
#include "ToolRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using veltrano::test::run;
using veltrano::test::runTool;
using veltrano::test::ToolRun;

namespace {

// record number -> result, from the tsv output
std::map<int, std::string> results(const std::string& tsv)
{
    std::map<int, std::string> out;
    std::istringstream in(tsv);
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> cells(1);
        for (char c : line) {
            if (c == '\t')
                cells.emplace_back();
            else
                cells.back() += c;
        }
        if (cells.size() == 5)
            out[std::stoi(cells[0])] = cells[4];
    }
    return out;
}

TEST(LimitsTool, ButtWeldExample)
{
    const ToolRun r = run("--seam butt --level C --t 10 --l 100 --b 12 --bw 2 --decimal-separator , --format tsv");
    ASSERT_EQ(r.status, 0);
    auto res = results(r.out);
    ASSERT_EQ(res.size(), 89u);
    const std::map<int, std::string> expected = {
        {6, "2,0 mm"},  {8, "1,0 mm"},   {13, "0,5 mm"},   {16, "2,8 mm"},  {19, "2,2 mm"},        {38, "18,0 mm\u00B2"},
        {44, "3,0 mm"}, {81, "1,5 mm"},  {82, "3,0 mm"},   {87, "3,0 mm"},  {89, "80,0 mm\u00B2"}, {17, "nicht zutreffend"},
        {33, "nicht zutreffend"}, {88, "nicht zutreffend"}, {1, "nicht zul\u00E4ssig"},
    };
    for (const auto& [rec, text] : expected)
        EXPECT_EQ(res[rec], text) << "record " << rec;
}

TEST(LimitsTool, FilletWeldExample)
{
    const ToolRun r = run("--seam fillet --level C --t 5 --l 100 --b 7 --bw 2 --decimal-separator , --format tsv");
    ASSERT_EQ(r.status, 0);
    auto res = results(r.out);
    const std::map<int, std::string> expected = {
        {4, "1,0 mm"}, {17, "2,0 mm"}, {26, "2,8 mm"}, {32, "0,8 mm"}, {33, "2,0 mm"}, {85, "1,5 mm"}, {88, "1,0 mm"},
        {16, "nicht zutreffend"},
    };
    for (const auto& [rec, text] : expected)
        EXPECT_EQ(res[rec], text) << "record " << rec;
}

TEST(LimitsTool, OptionsReachTheRules)
{
    const auto plain = results(run("--seam butt --level B --t 4 --l 100 --b 12 --bw 2 --decimal-separator . --format tsv").out);
    const auto welder = results(
        run("--seam butt --level B --t 4 --l 100 --b 12 --bw 2 --welder-test --decimal-separator . --format tsv").out);
    const auto rail = results(
        run("--seam butt --level B --t 4 --l 100 --b 12 --bw 2 --rail-bridge --decimal-separator . --format tsv").out);
    EXPECT_EQ(plain.at(13), "0.2 mm");
    EXPECT_EQ(welder.at(13), "0.5 mm");
    EXPECT_EQ(rail.at(13), "nicht zul\u00E4ssig");
}

TEST(LimitsTool, JsonAndTableFormats)
{
    const ToolRun json = run("--seam butt --level D --t 10 --l 100 --b 12 --bw 2 --decimal-separator , --format json");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("{\"records\":[{\"record\":1,\"reference\":", 0), 0u) << json.out.substr(0, 80);
    EXPECT_NE(json.out.find("\"record\":89,"), std::string::npos);
    EXPECT_NE(json.out.find("\"result\":\"160,0 mm\u00B2\"}]}"), std::string::npos);

    const ToolRun table = run("--seam butt --level D --t 10 --l 100 --b 12 --bw 2 --decimal-separator ,");
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("160,0 mm\u00B2"), std::string::npos);
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 90); // header and 89 rows
}

TEST(LimitsTool, BatchAnswersEveryLineAndGoesOnAfterABadOne)
{
    const ToolRun r = run("--batch --format json --decimal-separator ,",
                      "{\"seam\":\"butt\",\"level\":\"C\",\"t\":10,\"l\":100,\"b\":12,\"bw\":2,"
                      "\"welder_test\":false,\"rail_bridge\":false}\n"
                      "{\"seam\":\"butt\",\"level\":\"C\",\"t\":10.3,\"l\":100,\"b\":12,\"bw\":2}\n"
                      "kein JSON\n"
                      "{\"seam\":\"fillet\",\"level\":\"C\",\"t\":5,\"l\":100,\"b\":7,\"bw\":2}\n");
    ASSERT_EQ(r.status, 0);
    std::istringstream in(r.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("{\"results\":[\"nicht zul\u00E4ssig\",", 0), 0u);
    EXPECT_NE(lines[0].find("\"80,0 mm\u00B2\"]}"), std::string::npos);
    EXPECT_NE(lines[1].find("{\"error\":\"t accepts a number from 0.5 to 1000"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("{\"error\":", 0), 0u);
    EXPECT_NE(lines[3].find("\"2,8 mm\""), std::string::npos); // record 26 of the fillet weld
}

TEST(LimitsTool, ExitStatusForBadOptionsAndAMissingCatalogue)
{
    const std::string weld = " --seam butt --level C --t 10 --l 100 --b 12 --bw 2";
    struct Row {
        const char* args;
        int status;
    } rows[] = {
        {"--seam butt --level C --t 10 --l 100 --b 12", 2},             // --bw missing
        {"--seam butt --level E --t 10 --l 100 --b 12 --bw 2", 2},
        {"--seam kehl --level C --t 10 --l 100 --b 12 --bw 2", 2},
        {"--seam butt --level C --t 10.3 --l 100 --b 12 --bw 2", 2},   // not a step of 0.5
        {"--seam butt --level C --t 1000.5 --l 100 --b 12 --bw 2", 2}, // above the range
        {"--seam butt --level C --t 10 --l 100.5 --b 12 --bw 2", 2},   // l is whole
        {"--seam butt --level C --t 10 --l 100 --b 0 --bw 2", 2},
        {"--seam butt --level C --t 10 --l 100 --b 12 --bw 0.5", 2},
        {"--seam butt --level C --t 10,5 --l 100 --b 12 --bw 2", 2},    // numbers use a dot
        {"--batch --format table", 2},
        {"--seam butt --level C --t 10 --l 100 --b 12 --bw 2 --format xml", 2},
        {"--catalogue /nonexistent/ISO5817.mdb --seam butt --level C --t 10 --l 100 --b 12 --bw 2", 3},
        {"--seam none --level C --t 1000 --l 1000 --b 100 --bw 50 --format tsv", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(run(r.args).status, r.status) << r.args;
}

// A catalogue whose ISO5817 is an endless view ends the tool with the
// catalogue's exit status, at once instead of never.
TEST(LimitsTool, EndlessViewCatalogueIsRefusedWithExitThree)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ISO5817.mdb");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    const int rc = sqlite3_exec(db,
                                "CREATE VIEW ISO5817 AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) "
                                "SELECT n AS Gruppe, n AS tmm, n AS \"Unregelm\u00E4\u00DFigkeit\", n AS OrdnungsNr, "
                                "n AS Bemerkungen, n AS niedrigD, n AS mittelC, n AS hochB FROM r",
                                nullptr, nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK);
    EXPECT_EQ(runTool({"--catalogue", file, "--seam", "butt", "--level", "C", "--t", "10",
                       "--l", "100", "--b", "12", "--bw", "2"}).status, 3);
}

} // namespace
