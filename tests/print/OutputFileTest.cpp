// print::writeOutput: a regular file replaced whole with its permissions, a
// link followed and kept, a named pipe or a device written into, a folder
// or a socket refused, every failed write an error with its reason.
#include "print/OutputFile.h"
#include "FullDevice.h"
#include "print/PdfOutput.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#endif

using veltrano::print::writeOutput;

namespace {

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& file, const QByteArray& content)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// Everything in the folder, hidden files included.
QStringList entries(const QTemporaryDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(OutputFile, ANewFileIsWrittenAndNothingIsLeftBeside)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("neu.pdf");
    QString error;
    ASSERT_TRUE(writeOutput(file, "%PDF-neu", &error)) << error.toStdString();
    EXPECT_EQ(readAll(file), "%PDF-neu");
    EXPECT_EQ(entries(dir), QStringList{"neu.pdf"});
}

TEST(OutputFile, AFolderThatDoesNotExistIsReportedWithTheName)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("fehlt/neu.pdf");
    QString error;
    EXPECT_FALSE(writeOutput(file, "%PDF", &error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

#ifndef _WIN32
TEST(OutputFile, ARegularFileIsReplacedWholeWithItsPermissions)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("alt.pdf");
    writeFile(file, "alter Inhalt, deutlich länger als der neue");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &before), 0);

    QString error;
    ASSERT_TRUE(writeOutput(file, "%PDF-neu", &error)) << error.toStdString();
    EXPECT_EQ(readAll(file), "%PDF-neu");
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_NE(after.st_ino, before.st_ino) << "a new file renamed over the old one";
    EXPECT_EQ(entries(dir), QStringList{"alt.pdf"});
}

TEST(OutputFile, AFileTheUserMayNotWriteIsLeftAsItIs)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "every file is writable for root";
    QTemporaryDir dir;
    const QString file = dir.filePath("schreibgeschuetzt.pdf");
    writeFile(file, "alt");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    QString error;
    EXPECT_FALSE(writeOutput(file, "%PDF-neu", &error));
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(EACCES)))) << error.toStdString();
    EXPECT_EQ(readAll(file), "alt");
}

TEST(OutputFile, ALinkIsFollowedAndStaysALink)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("ziel"));
    const QString target = dir.filePath("ziel/bericht.pdf");
    writeFile(target, "alt");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0604), 0);
    const QString link = dir.filePath("verweis.pdf");
    ASSERT_EQ(::symlink("ziel/bericht.pdf", QFile::encodeName(link).constData()), 0);
    const QString chain = dir.filePath("kette.pdf");
    ASSERT_EQ(::symlink("verweis.pdf", QFile::encodeName(chain).constData()), 0);

    QString error;
    ASSERT_TRUE(writeOutput(chain, "%PDF-neu", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(chain).isSymLink());
    EXPECT_EQ(readAll(target), "%PDF-neu");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(QDir(dir.filePath("ziel")).entryList(QDir::Files | QDir::Hidden), QStringList{"bericht.pdf"});

    // A link whose target does not exist yet: the target is made, the link stays.
    const QString dangling = dir.filePath("offen.pdf");
    ASSERT_EQ(::symlink("ziel/neu.pdf", QFile::encodeName(dangling).constData()), 0);
    ASSERT_TRUE(writeOutput(dangling, "%PDF-2", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readAll(dir.filePath("ziel/neu.pdf")), "%PDF-2");
}

TEST(OutputFile, ANamedPipeIsWrittenIntoAndStaysAPipe)
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("rohr"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        const int fd = ::open(fifo.constData(), O_RDONLY);
        char buf[4096];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
            received.append(buf, static_cast<qsizetype>(n));
        if (fd >= 0)
            ::close(fd);
    });
    QString error;
    const bool ok = writeOutput(QFile::decodeName(fifo), "%PDF-rohr", &error);
    reader.join();
    EXPECT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(received, "%PDF-rohr");
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(entries(dir), QStringList{"rohr"});
}

TEST(OutputFile, ADeviceNodeIsWrittenIntoAndNeverReplaced)
{
    QTemporaryDir dir;
    const QByteArray node = QFile::encodeName(dir.filePath("null"));
    // The node of /dev/null (1, 3); only where the test may make one.
    if (::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        GTEST_SKIP() << "no device node can be made here: " << std::strerror(errno);
    const int probe = ::open(node.constData(), O_WRONLY);
    if (probe < 0)
        GTEST_SKIP() << "the folder does not allow devices: " << std::strerror(errno);
    ::close(probe);
    QString error;
    EXPECT_TRUE(writeOutput(QFile::decodeName(node), "%PDF-geraet", &error)) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(node.constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, makedev(1, 3));
    EXPECT_EQ(entries(dir), QStringList{"null"});
}

TEST(OutputFile, AFullDeviceIsAnErrorWithItsReason)
{
    QTemporaryDir dir;
    const QString full = veltrano::test::fullDevice(dir);
    if (full.isEmpty())
        GTEST_SKIP() << "no full device to write into";
    QString error;
    EXPECT_FALSE(writeOutput(full, QByteArray(100000, 'x'), &error));
    EXPECT_TRUE(error.contains(full)) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(full).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(OutputFile, AFolderAndASocketAreRefusedWithTheReason)
{
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner"));
    EXPECT_FALSE(writeOutput(dir.filePath("ordner"), "%PDF", &error));
    EXPECT_TRUE(error.contains("Ordner")) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("ordner")).isDir());

    const QByteArray path = QFile::encodeName(dir.filePath("sock"));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof addr.sun_path) {
        ::close(s);
        GTEST_SKIP() << "the temporary folder's path is too long for a socket";
    }
    std::memcpy(addr.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_FALSE(writeOutput(QFile::decodeName(path), "%PDF", &error));
    EXPECT_TRUE(error.contains("Socket")) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::lstat(path.constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    ::close(s);
}

#endif

// The PDF of a document is made whole before the writer sees it.
TEST(PdfOutput, PagesAreWrittenThroughTheOneWriter)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("seiten.pdf");
    int drawn = 0;
    QString error;
    ASSERT_TRUE(veltrano::print::writePdf(
        file, QStringLiteral("Titel"), 2,
        [&](QPainter& painter, int index) {
            ++drawn;
            painter.drawText(QPointF(100, 100), QString::number(index));
        },
        &error))
        << error.toStdString();
    EXPECT_EQ(drawn, 2);
    const QByteArray pdf = readAll(file);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
}
