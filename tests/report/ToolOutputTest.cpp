// veltrano-limits --pdf through the one output writer: an output that is an
// input is refused, a record is read once, pipes and devices are written
// into and never replaced, and every failed output is exit 4 with its
// reason.  Fixtures live in the tests' own temporary folders.
#include "FullDevice.h"
#include "PdfReadBack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#ifdef __linux__
#include <atomic>
#include <poll.h>
#include <sys/inotify.h>
#endif
#include <thread>
#include <unistd.h>

extern char** environ;
#endif

using namespace veltrano::test;

namespace {

struct ToolResult {
    int exitCode = -1;
    QByteArray out, err;
};

ToolResult runTool(const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral(VELTRANO_LIMITS_TOOL), args);
    tool.waitForFinished(120000);
    return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1, tool.readAllStandardOutput(),
            tool.readAllStandardError()};
}

const QStringList kWeld = {"--seam", "butt", "--level", "C", "--t", "10", "--l", "100", "--b", "12", "--bw", "2"};

// One butt weld, t = 3.3 at level C: record 13's limit is 0,33 mm.
QByteArray recordWith(const char* value)
{
    return QByteArray(R"({"format":"veltrano-record","version":1,"inspection":{"order":"A-7"},"welds":[{"id":"N1",)"
                      R"("seam":"butt","level":"C","t":3.3,"l":100,"b":12,"bw":2,"findings":[{"record":13,"value":)") +
           value + "}]}]}\n";
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString writeRecord(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString file = dir.filePath(name);
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return file;
}

QString pdfText(const QString& pdf)
{
    QStringList words;
    for (const PdfPage& page : readBack(pdf))
        for (const Word& w : page.words)
            words << w.text;
    return words.join(' ');
}

} // namespace

// An output that is an input is refused with exit 2, nothing written.
TEST(ToolOutput, AnOutputThatIsTheInputIsRefused)
{
    QTemporaryDir dir;
    const QByteArray content = recordWith("\"0,34\"");
    const QString record = writeRecord(dir, "R.vrec", content);

    const ToolResult same = runTool({"--check", record, "--pdf", record});
    EXPECT_EQ(same.exitCode, 2) << same.err.toStdString();
    EXPECT_TRUE(same.err.contains("inspection record")) << same.err.toStdString();
    EXPECT_EQ(readAll(record), content);

    // Through another spelling of the path, a link or a second name.
    EXPECT_EQ(runTool({"--check", record, "--pdf", dir.path() + "/./R.vrec"}).exitCode, 2);
#ifndef _WIN32
    const QString link = dir.filePath("verweis.pdf");
    ASSERT_EQ(::symlink("R.vrec", QFile::encodeName(link).constData()), 0);
    EXPECT_EQ(runTool({"--check", record, "--pdf", link}).exitCode, 2);
    const QString second = dir.filePath("zweiter.pdf");
    ASSERT_EQ(::link(QFile::encodeName(record).constData(), QFile::encodeName(second).constData()), 0);
    EXPECT_EQ(runTool({"--check", record, "--pdf", second, "--format", "json"}).exitCode, 2);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(second), content);
#endif
    EXPECT_EQ(readAll(record), content);

    // The catalogue is an input as well, of the weld report and of a check.
    const QString catalogue = dir.filePath("katalog.mdb");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELTRANO_TEST_CATALOGUE), catalogue));
    const QByteArray before = readAll(catalogue);
    const ToolResult report = runTool(kWeld + QStringList{"--catalogue", catalogue, "--pdf", catalogue});
    EXPECT_EQ(report.exitCode, 2) << report.err.toStdString();
    EXPECT_TRUE(report.err.contains("catalogue")) << report.err.toStdString();
    EXPECT_EQ(runTool({"--catalogue", catalogue, "--check", record, "--pdf", catalogue}).exitCode, 2);
    EXPECT_EQ(readAll(catalogue), before);

    // A new file beside it is no input.
    EXPECT_EQ(runTool({"--check", record, "--pdf", dir.filePath("neu.pdf")}).exitCode, 1);
    EXPECT_TRUE(readAll(dir.filePath("neu.pdf")).startsWith("%PDF-"));
}

#ifndef _WIN32
namespace {

// The tool with its standard output on fd; its exit status and its
// standard error.
std::pair<int, std::string> runWithStandardOutput(int fd, const QStringList& args)
{
    int errPipe[2];
    if (::pipe(errPipe) != 0)
        return {-1, "no pipe"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);
    std::vector<QByteArray> storage{QByteArray(VELTRANO_LIMITS_TOOL)};
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, VELTRANO_LIMITS_TOOL, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(errPipe[1]);
    std::string err;
    char buf[4096];
    for (ssize_t n; (n = ::read(errPipe[0], buf, sizeof buf)) > 0;)
        err.append(buf, static_cast<std::size_t>(n));
    ::close(errPipe[0]);
    if (spawned != 0)
        return {-1, std::strerror(spawned)};
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

} // namespace

#ifdef __linux__
// One reading of the record: a record file that another program replaces
// right after the tool has read it (here as soon as the tool closes it)
// gives one verdict in the PDF, in the JSON and in the exit status.
TEST(ToolOutput, TheRecordIsReadOnceForThePdfAndTheList)
{
    QTemporaryDir dir;
    const QString record = writeRecord(dir, "R.vrec", recordWith("0.2")); // accepted
    const QString changed = writeRecord(dir, "neu.vrec", recordWith("\"0,34\"")); // rejected
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(record).constData(), IN_CLOSE_NOWRITE), 0);
    std::atomic<bool> toolDone{false};
    std::thread other([&] {
        // The first time a reader closes the file, it is replaced.
        pollfd event{watch, POLLIN, 0};
        while (!toolDone) {
            if (::poll(&event, 1, 20) > 0) {
                ::rename(QFile::encodeName(changed).constData(), QFile::encodeName(record).constData());
                return;
            }
        }
    });
    const QString pdf = dir.filePath("Protokoll.pdf");
    const ToolResult run = runTool({"--check", record, "--pdf", pdf, "--format", "json"});
    toolDone = true;
    other.join();
    ::close(watch);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(run.out).object().value("verdict").toString(), "accepted")
        << run.out.toStdString();
    ASSERT_TRUE(readAll(pdf).startsWith("%PDF-"));
    if (pdftotextAvailable()) {
        const QString text = pdfText(pdf);
        EXPECT_TRUE(text.contains("angenommen")) << text.toStdString();
        EXPECT_FALSE(text.contains(QString::fromUtf8("zur\u00FCckgewiesen"))) << text.toStdString();
        // The print names the file it was read from, without its folder.
        EXPECT_TRUE(text.contains("Datei: R.vrec")) << text.toStdString();
        EXPECT_FALSE(text.contains(dir.path())) << text.toStdString();
    }
}
#endif

// A named pipe or a device node is written into, never renamed over,
// by both PDFs; a link is followed and kept; a folder is refused.
TEST(ToolOutput, PipesAndDevicesAreWrittenIntoNeverReplaced)
{
    QTemporaryDir dir;
    const QString record = writeRecord(dir, "R.vrec", recordWith("0.2"));
    const QByteArray fifo = QFile::encodeName(dir.filePath("ziel.fifo"));
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
    // A second name of the pipe: should the tool rename a file over the
    // first one, the reader still waiting on the pipe is let go through it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("halter"));
    const QByteArray keeper = QFile::encodeName(dir.filePath("halter/rohr"));
    ASSERT_EQ(::link(fifo.constData(), keeper.constData()), 0);
    const ToolResult toPipe = runTool({"--check", record, "--pdf", QFile::decodeName(fifo)});
    if (const int letGo = ::open(keeper.constData(), O_WRONLY | O_NONBLOCK); letGo >= 0)
        ::close(letGo);
    reader.join();
    EXPECT_EQ(toPipe.exitCode, 0) << toPipe.err.toStdString();
    EXPECT_TRUE(received.startsWith("%PDF-"));
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still a named pipe";

    // A link to a record file's PDF: the PDF behind it is replaced, the
    // link stays, and so do the PDF's permissions.
    const QString target = dir.filePath("alt.pdf");
    writeRecord(dir, "alt.pdf", "alt");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = dir.filePath("verweis.pdf");
    ASSERT_EQ(::symlink("alt.pdf", QFile::encodeName(link).constData()), 0);
    EXPECT_EQ(runTool({"--check", record, "--pdf", link}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(readAll(target).startsWith("%PDF-"));
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A folder is refused with the reason, by both PDFs.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner"));
    const ToolResult folder = runTool({"--check", record, "--pdf", dir.filePath("ordner")});
    EXPECT_EQ(folder.exitCode, 4);
    EXPECT_TRUE(folder.err.contains("Ordner")) << folder.err.toStdString();
    EXPECT_EQ(runTool(kWeld + QStringList{"--pdf", dir.filePath("ordner")}).exitCode, 4);
    EXPECT_TRUE(QFileInfo(dir.filePath("ordner")).isDir());

    // A character device (the node of /dev/null), where the test may make one.
    const QByteArray node = QFile::encodeName(dir.filePath("geraet"));
    if (::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "no device node can be made here: " << std::strerror(errno);
    const int probe = ::open(node.constData(), O_WRONLY);
    if (probe < 0)
        GTEST_SKIP() << "the folder does not allow devices: " << std::strerror(errno);
    ::close(probe);
    for (const QStringList& args : {QStringList{"--check", record}, kWeld}) {
        const ToolResult run = runTool(args + QStringList{"--pdf", QFile::decodeName(node)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        ASSERT_EQ(::lstat(node.constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "still the device node";
        EXPECT_EQ(st.st_rdev, makedev(1, 3));
    }
}

// A full device and a closed pipe: exit 4 with the reason, for the
// printed record and for the weld report, into a file and on standard
// output.
TEST(ToolOutput, AFailedOutputIsExitFourWithTheReason)
{
    QTemporaryDir dir;
    const QString full = fullDevice(dir);
    if (full.isEmpty())
        GTEST_SKIP() << "no full device to write into";
    const QString record = writeRecord(dir, "R.vrec", recordWith("0.2"));
    const std::string noSpace = std::strerror(ENOSPC);
    for (const QStringList& args : {QStringList{"--check", record}, kWeld}) {
        const ToolResult file = runTool(args + QStringList{"--pdf", full});
        EXPECT_EQ(file.exitCode, 4) << args.join(' ').toStdString();
        EXPECT_NE(file.err.toStdString().find(noSpace), std::string::npos) << file.err.toStdString();

        const int fullFd = ::open(QFile::encodeName(full).constData(), O_WRONLY);
        ASSERT_GE(fullFd, 0);
        const auto toFull = runWithStandardOutput(fullFd, args + QStringList{"--pdf", "-"});
        ::close(fullFd);
        EXPECT_EQ(toFull.first, 4) << args.join(' ').toStdString() << toFull.second;
        EXPECT_NE(toFull.second.find(noSpace), std::string::npos) << toFull.second;

        int closed[2];
        ASSERT_EQ(::pipe(closed), 0);
        ::close(closed[0]); // nobody reads
        const auto toClosed = runWithStandardOutput(closed[1], args + QStringList{"--pdf", "-"});
        ::close(closed[1]);
        EXPECT_EQ(toClosed.first, 4) << args.join(' ').toStdString() << toClosed.second;
        EXPECT_NE(toClosed.second.find(std::strerror(EPIPE)), std::string::npos) << toClosed.second;
    }
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(full).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the full device is still a device";
}
#endif
