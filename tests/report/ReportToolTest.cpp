// veltrano-limits --pdf: the report of the weld on the command line, written
// without a window, with the results of the recalculation pass.

#include "PdfReadBack.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

using namespace veltrano::test;

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out, err;
};

ToolRun runTool(const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral(VELTRANO_LIMITS_TOOL), args);
    tool.waitForFinished(120000);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, tool.readAllStandardOutput(),
            tool.readAllStandardError()};
}

// The result text of a record in the tool's JSON output.
QString result(const QJsonArray& records, int recNo)
{
    for (const auto& r : records)
        if (r.toObject().value("record").toInt() == recNo)
            return r.toObject().value("result").toString();
    return QString();
}

} // namespace

TEST(ReportTool, WritesTheThreePagesOfTheWeldOnItsCommandLine)
{
    if (!pdftotextAvailable())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath("Bericht.pdf");
    const ToolRun run = runTool({"--seam", "fillet", "--level", "C", "--t", "3.5", "--l", "100", "--b", "7", "--bw", "2.5",
                             "--decimal-separator", ",", "--format", "json", "--pdf", file});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray records = QJsonDocument::fromJson(run.out).object().value("records").toArray();
    ASSERT_EQ(records.size(), 89);

    const auto pages = readBack(file);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(wordAt(pages[0], "Kehlnaht", 64.6, 14.0), nullptr);
    EXPECT_NE(wordAt(pages[0], "C", 149.9, 14.0), nullptr);
    EXPECT_NE(wordAt(pages[0], "3,50", 68.4, 32.8), nullptr);
    EXPECT_NE(wordAt(pages[0], "100,00", 68.4, 44.4), nullptr);
    EXPECT_NE(wordAt(pages[0], "7,00", 154.5, 32.8), nullptr);
    EXPECT_NE(wordAt(pages[0], "2,50", 154.2, 44.4), nullptr);
    // Fillet weld, t > 3: IW3 shows record 4, IW20 record 32, IW57 record 89.
    struct Line {
        std::size_t page;
        int recNo;
        double left, top;
    };
    for (const Line& l : {Line{0, 4, 140.0, 82.0}, Line{0, 32, 140.0, 219.6}, Line{2, 89, 150.0, 79.0}}) {
        const QString first = result(records, l.recNo).split(' ').value(0);
        ASSERT_FALSE(first.isEmpty()) << l.recNo;
        EXPECT_NE(wordAt(pages[l.page], first, l.left, l.top), nullptr) << "record " << l.recNo;
    }
}

TEST(ReportTool, RefusesWhatItCannotWrite)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("no-such-folder/Bericht.pdf");
    const QStringList weld = {"--seam", "butt", "--level", "B", "--t", "10", "--l", "100", "--b", "12", "--bw", "2"};
    const ToolRun failed = runTool(weld + QStringList{"--pdf", file});
    EXPECT_EQ(failed.exitCode, 4);
    EXPECT_TRUE(failed.err.contains("Bericht.pdf")) << failed.err.toStdString();
    EXPECT_FALSE(QFile::exists(file));

    EXPECT_EQ(runTool({"--batch", "--format", "json", "--pdf", file}).exitCode, 2);
    EXPECT_EQ(runTool(weld + QStringList{"--pdf"}).exitCode, 2);
}

TEST(ReportTool, WritesThePdfToStandardOutput)
{
    const QStringList weld = {"--seam", "butt", "--level", "C", "--t", "10", "--l", "100", "--b", "12", "--bw", "2"};
    const ToolRun run = runTool(weld + QStringList{"--pdf", "-"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("%PDF-"));
    EXPECT_TRUE(run.out.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(run.out.count("/Type /Page\n") + run.out.count("/Type /Page\r") + run.out.count("/Type /Page "), 3)
        << "three pages";
    EXPECT_EQ(runTool(weld + QStringList{"--pdf", "-", "--format", "json"}).exitCode, 2);
}

#ifndef _WIN32
// A named pipe stays a named pipe: the report is written into it, not
// renamed over it.
TEST(ReportTool, WritesIntoANamedPipeInsteadOfReplacingIt)
{
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath("bericht.fifo").toLocal8Bit();
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        const int fd = ::open(fifo.constData(), O_RDONLY);
        char buf[65536];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
            received.append(buf, static_cast<qsizetype>(n));
        if (fd >= 0)
            ::close(fd);
    });
    const ToolRun run = runTool({"--seam", "butt", "--level", "C", "--t", "10", "--l", "100", "--b", "12", "--bw", "2",
                                 "--pdf", QString::fromLocal8Bit(fifo)});
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(received.startsWith("%PDF-"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 1) << "no file left beside it";
}
#endif

// --check RECORD --pdf OUT: the printed record without a window, and the
// record's verdict as the exit status.
TEST(ReportTool, WritesThePrintedRecordOfACheck)
{
    if (!pdftotextAvailable())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString recordFile = dir.filePath("protokoll.json");
    QFile f(recordFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-7"},"welds":[{"id":"N1","seam":"butt",)"
            R"("level":"C","t":3.3,"l":100,"b":12,"bw":2,"findings":[{"record":13,"value":"0,34"}]}]})");
    f.close();
    const QString pdf = dir.filePath("Protokoll.pdf");
    const ToolRun run = runTool({"--check", recordFile, "--pdf", pdf});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString(); // rejected: 0,34 mm > 0,33 mm
    EXPECT_TRUE(run.out.isEmpty());
    const auto pages = readBack(pdf);
    ASSERT_EQ(pages.size(), 1u);
    QStringList words;
    for (const Word& w : pages[0].words)
        words << w.text;
    const QString text = words.join(' ');
    EXPECT_TRUE(text.contains(QString::fromUtf8("zur\u00FCckgewiesen"))) << text.toStdString();
    EXPECT_TRUE(text.contains("0,33 mm")) << text.toStdString();
    EXPECT_TRUE(text.contains("Seite 1 von 1")) << text.toStdString();

    EXPECT_EQ(runTool({"--check", dir.filePath("fehlt.json"), "--pdf", pdf}).exitCode, 5);
    EXPECT_EQ(runTool({"--check", recordFile, "--pdf", dir.filePath("kein/Ordner.pdf")}).exitCode, 4);
}
