// veltrano-limits --check: the verdict of an inspection record as its exit
// status, in the table and in JSON.
#include "ToolRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using veltrano::test::runTool;
using veltrano::test::ToolRun;

namespace {

// One butt weld, t = 3.3 at level C: the undercut limit (record 13) is
// exactly 0.33 mm; the findings are spliced in.
QByteArray recordWith(const QByteArray& findings)
{
    return R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-1"},"welds":[{"id":"N1","seam":"butt",)"
           R"("level":"C","t":3.3,"l":100,"b":12,"bw":2,"findings":[)" +
           findings + "]}]}\n";
}

class LimitsToolCheck : public ::testing::Test {
protected:
    QString write(const QByteArray& content)
    {
        const QString file = m_dir.filePath(QString("protokoll%1.json").arg(++m_count));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return file;
    }
    QTemporaryDir m_dir;
    int m_count = 0;
};

TEST_F(LimitsToolCheck, ExitStatusIsTheRecordsVerdict)
{
    struct Case {
        QByteArray findings;
        int status;
    } cases[] = {
        {R"({"record":13,"value":0.33})", 0},                               // exactly at the limit
        {R"({"record":13,"value":"0,34"})", 1},                             // one hundredth above
        {R"({"record":35,"value":1})", 6},                                  // the inspector decides: open
        {R"({"record":35,"value":1,"judgement":"rejected"})", 1},
        {R"({"record":13,"value":0.2},{"record":35,"value":1})", 6},
        {R"({"record":90,"value":1})", 5},                                  // no such catalogue row
    };
    for (const Case& c : cases) {
        const QString file = write(recordWith(c.findings));
        for (const char* format : {"table", "json"}) {
            const ToolRun r = runTool({"--check", file, "--format", format});
            EXPECT_EQ(r.status, c.status) << c.findings.constData() << " " << format << r.err;
        }
    }
    EXPECT_EQ(runTool({"--check", m_dir.filePath("fehlt.json")}).status, 5);
    EXPECT_EQ(runTool({"--check", write("{\"format\":")}).status, 5);
    EXPECT_EQ(runTool({"--check", write(recordWith("")), "--seam", "butt"}).status, 2);
    EXPECT_EQ(runTool({"--check", write(recordWith("")), "--format", "tsv"}).status, 2);
}

TEST_F(LimitsToolCheck, JsonGivesTheExactLimitAndTheTableEscapesTheRecordsTexts)
{
    const QString file =
        write(recordWith(R"({"record":13,"value":0.34,"location":"Wurzel\u001b[2J\u009b31m"})"));
    const ToolRun json = runTool({"--check", file, "--format", "json", "--decimal-separator", ","});
    ASSERT_EQ(json.status, 1) << json.err;
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(doc.value("verdict").toString(), "rejected");
    const QJsonObject finding =
        doc.value("welds").toArray().at(0).toObject().value("findings").toArray().at(0).toObject();
    EXPECT_EQ(finding.value("limit").toString(), "0.33");
    EXPECT_EQ(finding.value("unit").toString(), "mm");
    EXPECT_EQ(finding.value("verdict").toString(), "rejected");

    const ToolRun table = runTool({"--check", file, "--decimal-separator", ","});
    EXPECT_EQ(table.status, 1);
    EXPECT_NE(table.out.find("zur\u00FCckgewiesen"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("0,33 mm"), std::string::npos) << table.out;
    EXPECT_EQ(table.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(table.out.find("\xC2\x9B"), std::string::npos);
}

// A listing far longer than one block of output: the terminal escaping is
// done block by block and must neither break a character nor lose one.  The
// weld names are long runs of umlauts with C1 control characters, ending in
// an ß, so that many blocks fill up in the middle of one.
TEST_F(LimitsToolCheck, LongListingIsEscapedWhole)
{
    const int welds = 400;
    const auto run = [](const char* piece) {
        QByteArray s;
        for (int i = 0; i < 250; ++i)
            s += piece;
        return s;
    };
    const QByteArray written = run(R"(\u00e4\u00f6\u009b\u00fc)");
    QByteArray text = R"({"format":"veltrano-record","version":1,"welds":[)";
    for (int w = 0; w < welds; ++w)
        text += QByteArray(w ? "," : "") + R"({"id":"W)" + QByteArray::number(w) + " " + written +
                R"(\u00df","seam":"butt","level":"C","t":3.3,"l":100,"b":12,"bw":2,"findings":[{"record":13,"value":0.34}]})";
    text += "]}\n";
    const QString file = write(text);
    const QString name = QString::fromUtf8(run("äö\u009bü")) + QString::fromUtf8("ß");
    const std::string shown = (QString::fromUtf8(run("äö\\u009bü")) + QString::fromUtf8("ß")).toStdString();

    const ToolRun json = runTool({"--check", file, "--format", "json"});
    ASSERT_EQ(json.status, 1) << json.err;
    ASSERT_GT(json.out.size(), 1000000u);
    EXPECT_EQ(json.out.find("\xEF\xBF\xBD"), std::string::npos) << "no character broken";
    QJsonParseError error;
    const QJsonArray list =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error).object().value("welds").toArray();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(list.size(), welds);
    for (int w = 0; w < welds; ++w)
        ASSERT_EQ(list.at(w).toObject().value("id").toString(), QString("W%1 ").arg(w) + name) << w;

    const ToolRun table = runTool({"--check", file});
    ASSERT_EQ(table.status, 1) << table.err;
    EXPECT_EQ(table.out.find("\xEF\xBF\xBD"), std::string::npos) << "no character broken";
    EXPECT_EQ(table.out.find("\xC2\x9B"), std::string::npos);
    std::size_t at = 0;
    for (int w = 0; w < welds; ++w)
        for (const char* after : {" (Stumpfnaht", ": zur\u00FCckgewiesen"}) {
            at = table.out.find("\nNaht W" + std::to_string(w) + " " + shown + after, at);
            ASSERT_NE(at, std::string::npos) << "weld " << w << after;
        }
}

} // namespace
