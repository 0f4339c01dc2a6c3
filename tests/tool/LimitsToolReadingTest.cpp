// veltrano-limits --check reads only a regular record file of bounded size:
// a pipe nobody writes, an endless device and a huge file end with exit
// status 5 and a message, never a hang or an abort; a NUL byte in the record
// or in a batch line is an error at its place.
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using veltrano::test::run;
using veltrano::test::runTool;
using veltrano::test::ToolRun;

namespace {

const QByteArray kRecord =
    R"({"format":"veltrano-record","version":1,"welds":[{"id":"N1","seam":"butt","level":"C","t":3.3,)"
    R"("l":100,"b":12,"bw":2,"findings":[{"record":13,"value":0.2}]}]})";

bool has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

} // namespace

TEST(LimitsToolReading, ANulByteInTheRecordIsAnErrorWithItsPlace)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("nul.vrec");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // A second weld after the NUL, rejected, was silently dropped.
    f.write(kRecord + QByteArray(1, '\0') + R"(,{"id":"N2"}]})");
    f.close();
    const ToolRun r = runTool({"--check", file});
    EXPECT_EQ(r.status, 5) << r.out;
    EXPECT_TRUE(has(r.err, "Zeile 1, Spalte " + std::to_string(kRecord.size() + 1))) << r.err;
    EXPECT_TRUE(has(r.err, "NUL")) << r.err;
}

#ifndef _WIN32
TEST(LimitsToolReading, APipeNobodyWritesIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.vrec");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const ToolRun r = runTool({"--check", fifo});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(r.status, 5) << r.err;
    EXPECT_TRUE(has(r.err, "benannte Pipe")) << r.err;
}

TEST(LimitsToolReading, AnEndlessDeviceIsRefusedAsNoRegularFile)
{
    if (!QFile::exists("/dev/zero"))
        GTEST_SKIP() << "no /dev/zero on this system";
    const ToolRun r = runTool({"--check", "/dev/zero"});
    EXPECT_EQ(r.status, 5) << r.err; // was std::bad_alloc, status 134
    EXPECT_TRUE(has(r.err, "keine gewöhnliche Datei")) << r.err;
}
#endif

TEST(LimitsToolReading, AHugeRecordIsRefusedWithItsSizeUnread)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("gross.vrec");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{");
    ASSERT_TRUE(f.resize(qint64(300) * 1024 * 1024)); // sparse where the file system allows
    f.close();
    const ToolRun r = runTool({"--check", file});
    EXPECT_EQ(r.status, 5) << r.err;
    EXPECT_TRUE(has(r.err, "300 MiB (314572800 Bytes)")) << r.err;
}

TEST(LimitsToolReading, ANulByteInABatchLineIsAnErrorLine)
{
    const std::string good = R"({"seam":"butt","level":"C","t":10,"l":100,"b":12,"bw":2})";
    // A whole object before the NUL was answered, whatever followed it.
    const std::string nul = good + std::string(1, '\0') + "kein Objekt";
    const ToolRun r = run("--batch --format json", nul + "\n" + good + "\n");
    EXPECT_EQ(r.status, 0) << r.err;
    const auto first = r.out.substr(0, r.out.find('\n'));
    EXPECT_TRUE(has(first, "\"error\"")) << first;
    EXPECT_TRUE(has(first, "NUL byte at column " + std::to_string(good.size() + 1))) << first;
    EXPECT_TRUE(has(first, "\"line\":1")) << first;
    const auto second = r.out.substr(r.out.find('\n') + 1);
    EXPECT_TRUE(has(second, "\"results\"")) << second;
}
