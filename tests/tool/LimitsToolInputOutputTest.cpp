// veltrano-limits with input a person or a script gets wrong, and outputs
// that cannot take what it writes: every fault is answered, named and never
// passed on raw.
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sstream>
#include <string>
#include <vector>

using veltrano::test::run;
using veltrano::test::runTool;
using veltrano::test::ToolRun;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// Well-formed UTF-8 with no control character but line feeds (and tabs
// where allowed): safe to show on a terminal.
::testing::AssertionResult terminalSafe(const std::string& s, bool tabs = false)
{
    const QByteArray bytes = QByteArray::fromStdString(s);
    const QString decoded = QString::fromUtf8(bytes);
    if (decoded.toUtf8() != bytes || decoded.contains(QChar(0xFFFD)) != (s.find("\xEF\xBF\xBD") != std::string::npos))
        return ::testing::AssertionFailure() << "not well-formed UTF-8";
    for (const QChar c : decoded) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\n' && !(tabs && u == '\t')) || u == 0x7F || (u >= 0x80 && u <= 0x9F))
            return ::testing::AssertionFailure() << "raw control character U+" << std::hex << u;
    }
    return ::testing::AssertionSuccess();
}

const std::string kWeld = "\"seam\":\"butt\",\"level\":\"C\",\"l\":100,\"b\":12,\"bw\":2";

std::string batchLine(const std::string& t)
{
    return "{" + kWeld + ",\"t\":" + t + "}";
}

TEST(LimitsToolCommandLine, HelpVersionAndRepeatedOptions)
{
    const ToolRun help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--batch"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
    EXPECT_NE(help.out.find("4  an output cannot be written"), std::string::npos) << help.out;

    const ToolRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("veltrano-limits ") + VELTRANO_VERSION + "\n");

    const std::string weld = "--seam butt --level C --t 10 --l 100 --b 12 --bw 2";
    for (const std::string extra : {"--seam fillet", "--t 4", "--t=4", "--welder-test --welder-test",
                                    "--format tsv --format json", "--catalogue a --catalogue b"}) {
        const ToolRun r = run(weld + " " + extra);
        EXPECT_EQ(r.status, 2) << extra;
        EXPECT_TRUE(r.out.empty()) << extra;
        EXPECT_NE(r.err.find(extra.substr(0, extra.find_first_of(" ="))), std::string::npos) << r.err;
    }
    EXPECT_EQ(run("--batch --batch --format json").status, 2);
}

TEST(LimitsToolBatch, NumbersAreReadFromTheirCharacters)
{
    struct Case {
        std::string t;
        bool accepted;
    } cases[] = {
        {"10.5", true}, {"1.05e1", true}, {"105E-1", true}, {"10.50", true}, {"1050e-2", true},
        {"010", false},    // JSON has no leading zeros
        {"1e999", false},  // beyond any number
        {"10.3", false},   // not a step of 0.5
        {"10.25", false},  // neither
        {"10.500000000000000001", false}, // a double would round this to 10.5
        {"-0", false},     {"\"10\"", false}, {"null", false}, {"[10]", false},
    };
    std::string input;
    for (const Case& c : cases)
        input += batchLine(c.t) + "\n";
    const ToolRun r = run("--batch --format json --decimal-separator ,", input);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), std::size(cases));
    const std::string expected = lines(run("--batch --format json --decimal-separator ,", batchLine("10.5")).out).at(0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (cases[i].accepted) {
            EXPECT_EQ(out[i], expected) << cases[i].t;
        } else {
            EXPECT_EQ(out[i].rfind("{\"error\":", 0), 0u) << cases[i].t << ": " << out[i];
            EXPECT_NE(out[i].find(",\"line\":" + std::to_string(i + 1) + "}"), std::string::npos) << out[i];
        }
    }
}

TEST(LimitsToolBatch, EveryLineIsAnsweredInOrderAndNothingRawComesBack)
{
    const std::string escaped = "{\"seam\":\"b\\u0075tt\",\"level\":\"C\",\"t\":10,\"l\":100,\"b\":12,\"bw\":2}";
    const std::string input = batchLine("10") + "\n"
                              "\n"                                               // 2: blank
                              + escaped + "\r\n"                                 // 3: \u escape, CRLF
                              "{\"seam\":\"\xFF\xFE\",\"level\":\"C\"}\n"        // 4: not UTF-8
                              "{\"seam\":\"\x1B[2J\",\"level\":\"C\"}\n"         // 5: raw control character
                              "{\"seam\":\"\xC2\x9B" "31m\",\"level\":\"C\"}\n"  // 6: a C1 control in UTF-8
                              "[1,2]\n"                                          // 7: not an object
                              + "{" + kWeld + ",\"t\":10,\"t\":10}\n"            // 8: a key twice
                              + batchLine("10");                                 // 9: no final line feed
    const ToolRun r = run("--batch --format json", input);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(terminalSafe(r.out));
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 9u) << r.out;
    EXPECT_EQ(out[0].rfind("{\"results\":[", 0), 0u);
    EXPECT_EQ(out[2], out[0]);
    EXPECT_EQ(out[8], out[0]);
    for (int i : {1, 3, 4, 5, 6, 7}) {
        const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(out[i])).object();
        EXPECT_FALSE(o.value("error").toString().isEmpty()) << out[i];
        EXPECT_EQ(o.value("line").toInt(), i + 1) << out[i];
    }
    EXPECT_NE(out[7].find("duplicate key"), std::string::npos) << out[7];
}

TEST(LimitsToolBatch, AnOverlongLineIsAnErrorOfItsOwnAndTheNextIsAnswered)
{
    const std::string longLine = "{\"seam\":\"" + std::string(1536 * 1024, 'x') + "\"}";
    const ToolRun r = run("--batch --format json", longLine + "\n" + batchLine("10") + "\n");
    ASSERT_EQ(r.status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "{\"error\":\"line longer than 1 MiB\",\"line\":1}");
    EXPECT_EQ(out[1].rfind("{\"results\":[", 0), 0u);
}

// A catalogue whose texts carry terminal escapes, bytes that are not UTF-8
// and line breaks: the tool shows them, but never raw.
TEST(LimitsToolOutput, CatalogueTextsNeverReachTheTerminalRaw)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ISO5817.mdb");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRANO_TEST_CATALOGUE), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    const char* sql = "UPDATE ISO5817 SET hochB = 'nicht zul\xC3\xA4ssig \x1B]0;pwned\x07 \xFF', "
                      "OrdnungsNr = '100' || char(10) || '\x1B[2J' WHERE rowid = (SELECT min(rowid) FROM ISO5817)";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    const std::string weld = "--catalogue " + file.toStdString() + " --seam butt --level B --t 10 --l 100 --b 12 --bw 2";
    for (const char* format : {"table", "tsv", "json"}) {
        const ToolRun r = run(weld + " --format " + format);
        ASSERT_EQ(r.status, 0) << format << r.err;
        EXPECT_TRUE(terminalSafe(r.out, std::string(format) == "tsv")) << format;
        EXPECT_NE(r.out.find("\\u001b]0;pwned\\u0007"), std::string::npos) << format;
    }
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run(weld + " --format json").out));
    const QJsonObject first = json.object().value("records").toArray().at(0).toObject();
    EXPECT_EQ(first.value("result").toString(), QString::fromUtf8("nicht zul\xC3\xA4ssig \x1B]0;pwned\x07 \xEF\xBF\xBD"));
    EXPECT_EQ(run(weld + " --format json").out.find('\x1B'), std::string::npos);

    const ToolRun batch = run("--catalogue " + file.toStdString() + " --batch --format json",
                              "{\"seam\":\"butt\",\"level\":\"B\",\"t\":10,\"l\":100,\"b\":12,\"bw\":2}\n");
    EXPECT_TRUE(terminalSafe(batch.out));
    EXPECT_NE(batch.out.find("\\u001b]0;pwned\\u0007 \xEF\xBF\xBD"), std::string::npos) << batch.out;
}

TEST(LimitsToolOutput, AnOutputThatCannotBeWrittenIsReportedWithExitFour)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    auto toFull = [](const QStringList& args, const QByteArray& input = {}) {
        QProcess tool;
        tool.setStandardOutputFile("/dev/full");
        tool.start(QStringLiteral(VELTRANO_LIMITS_TOOL), args);
        tool.waitForStarted();
        tool.write(input);
        tool.closeWriteChannel();
        tool.waitForFinished(120000);
        return std::make_pair(tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                              tool.readAllStandardError().toStdString());
    };
    const auto single = toFull({"--seam", "butt", "--level", "C", "--t", "10", "--l", "100", "--b", "12", "--bw", "2"});
    EXPECT_EQ(single.first, 4);
    EXPECT_NE(single.second.find("standard output cannot be written"), std::string::npos) << single.second;

    const auto batch = toFull({"--batch", "--format", "json"},
                              QByteArray::fromStdString(batchLine("10") + "\n" + batchLine("12") + "\n"));
    EXPECT_EQ(batch.first, 4);
    EXPECT_NE(batch.second.find("standard output cannot be written"), std::string::npos) << batch.second;

    EXPECT_EQ(toFull({"--help"}).first, 4);
}

#ifndef _WIN32
TEST(LimitsToolOutput, AReaderThatGoesAwayStopsTheBatch)
{
    // The reader takes one byte and ends; the batch, far larger than a
    // pipe holds, must notice, say so and stop.
    QProcess reader;
    QProcess tool;
    tool.setStandardOutputProcess(&reader);
    reader.start("head", {"-c", "1"});
    std::string input;
    for (int i = 0; i < 3000; ++i)
        input += batchLine("10") + "\n";
    tool.start(QStringLiteral(VELTRANO_LIMITS_TOOL), {"--batch", "--format", "json"});
    tool.waitForStarted();
    tool.write(QByteArray::fromStdString(input));
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished(120000));
    reader.waitForFinished(10000);
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 4);
    EXPECT_NE(tool.readAllStandardError().indexOf("standard output cannot be written"), -1);
}
#endif

} // namespace
