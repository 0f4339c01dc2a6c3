// Saving a record over a file that is there: a link stays a link, the file
// keeps its mode and owner, a file no one may write and one another program
// changed since loading are refused with their own kind of error, temporary
// files of an interrupted save are cleaned up, and a failed call to the
// system reads in German.
#include "record/RecordFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace veltrano::record;
namespace fs = std::filesystem;

namespace {

class Folder {
public:
    Folder()
    {
        std::random_device seed;
        m_path = fs::temp_directory_path() / ("veltrano-save-test-" + std::to_string(seed()));
        fs::create_directories(m_path);
    }
    ~Folder()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    fs::path operator/(const std::string& name) const { return m_path / name; }
    const fs::path& path() const { return m_path; }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_path))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
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

Record withOrder(const std::string& order)
{
    Record r;
    r.inspection.order = order;
    return r;
}

std::optional<std::string> orderIn(const fs::path& p)
{
    return loadRecord(p).inspection.order;
}

template <typename Call>
std::optional<SaveError::Kind> saveErrorKind(Call call)
{
    try {
        call();
    } catch (const SaveError& e) {
        return e.kind();
    } catch (const RecordError& e) {
        ADD_FAILURE() << "not a SaveError: " << e.what();
    }
    return std::nullopt;
}

std::string hex(const std::array<std::uint8_t, 32>& digest)
{
    FileStamp s;
    s.sha256 = digest;
    return s.text().substr(4);
}

} // namespace

TEST(FileStamp, Sha256AndTextRoundTrip)
{
    EXPECT_EQ(hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex(sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Two blocks: the length no longer fits behind the padding of the first.
    EXPECT_EQ(hex(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(hex(sha256(std::string(1000, 'a'))), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");

    FileStamp stamp{1234, -5, sha256("x")};
    EXPECT_EQ(FileStamp::fromText(stamp.text()), stamp);
    const std::string zeros(64, '0');
    const std::vector<std::string> bad{
        "", "12 34", "x 1 " + zeros, "1 2 " + zeros.substr(1), "1 2 " + zeros.substr(1) + "g", "-1 2 " + zeros};
    for (const std::string& text : bad)
        EXPECT_EQ(FileStamp::fromText(text), std::nullopt) << text;
}

TEST(SaveRecord, FailedSystemCallsReadInGerman)
{
    const std::pair<std::errc, const char*> cases[] = {
        {std::errc::filename_too_long, "Dateiname zu lang"},
        {std::errc::no_space_on_device, "kein Platz auf dem Datenträger"},
        {std::errc::permission_denied, "keine Berechtigung"},
        {std::errc::read_only_file_system, "der Datenträger ist schreibgeschützt"},
        {std::errc::io_error, "Ein-/Ausgabefehler des Datenträgers"},
    };
    for (const auto& [error, text] : cases)
        EXPECT_EQ(saveFailureText(std::make_error_code(error)), text);
#ifdef EDQUOT
    EXPECT_EQ(saveFailureText({EDQUOT, std::generic_category()}),
              "das Speicherkontingent auf dem Datenträger ist erschöpft");
#endif

#ifndef _WIN32
    // A name longer than the file system takes, for real.
    Folder folder;
    try {
        saveRecord(withOrder("A"), folder / (std::string(300, 'n') + ".vrec"));
        ADD_FAILURE() << "saved a name of 300 characters";
    } catch (const RecordError& e) {
        EXPECT_NE(e.message().find("Dateiname zu lang"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(folder.names().empty());
#endif
}

TEST(SaveRecord, ChangedSinceLoadedIsRefusedUnlessOverwritten)
{
    Folder folder;
    const fs::path file = folder / "p.vrec";
    const FileStamp saved = saveRecord(withOrder("A"), file);
    EXPECT_EQ(stampFile(file), saved) << "the stamp of a save is that of the file";

    // Another program writes the same record again: only touched, no change.
    const std::string bytes = readAll(file);
    writeAll(file, bytes);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    const FileStamp second = saveRecord(withOrder("B"), file, saved);
    EXPECT_EQ(orderIn(file), "B");

    // Another program changes it: refused, the other change kept.
    saveRecord(withOrder("Kollege"), file);
    EXPECT_EQ(saveErrorKind([&] { saveRecord(withOrder("C"), file, second); }), SaveError::Kind::ChangedSinceLoaded);
    EXPECT_EQ(orderIn(file), "Kollege");
    try {
        saveRecord(withOrder("C"), file, second);
    } catch (const SaveError& e) {
        EXPECT_EQ(e.message(), "wurde inzwischen außerhalb des Programms geändert");
    }
    // Overwritten when the user says so.
    saveRecord(withOrder("C"), file, second, SaveMode::Overwrite);
    EXPECT_EQ(orderIn(file), "C");

    // Removed by another program: nothing to lose, saved anew.
    fs::remove(file);
    saveRecord(withOrder("D"), file, second);
    EXPECT_EQ(orderIn(file), "D");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"p.vrec"});
}

#ifndef _WIN32

TEST(SaveRecord, LinksStayLinksAndTheirTargetIsWritten)
{
    Folder folder;
    fs::create_directories(folder / "real");
    fs::create_directory_symlink("real", folder / "linked-folder");
    saveRecord(withOrder("alt"), folder / "real/p.vrec");
    fs::create_symlink("real/p.vrec", folder / "link.vrec");
    fs::create_symlink("link.vrec", folder / "link-to-link.vrec");
    fs::create_symlink(folder / "real/neu.vrec", folder / "dangling.vrec");
    // A relative link in a linked folder points from where the folder really is.
    fs::create_symlink("../real/p.vrec", folder / "real/up.vrec");

    struct Case {
        const char* saved;
        const char* written;
    };
    const Case cases[] = {
        {"link.vrec", "real/p.vrec"},
        {"link-to-link.vrec", "real/p.vrec"},
        {"linked-folder/p.vrec", "real/p.vrec"},
        {"linked-folder/up.vrec", "real/p.vrec"},
        {"dangling.vrec", "real/neu.vrec"},
    };
    for (const Case& c : cases) {
        saveRecord(withOrder(c.saved), folder / c.saved);
        EXPECT_EQ(orderIn(folder / c.written), c.saved);
    }
    for (const char* link : {"link.vrec", "link-to-link.vrec", "linked-folder", "dangling.vrec", "real/up.vrec"})
        EXPECT_TRUE(fs::is_symlink(folder / link)) << link;
    EXPECT_EQ(folder.names(),
              (std::vector<std::string>{"dangling.vrec", "link-to-link.vrec", "link.vrec", "linked-folder", "real"}));

    fs::create_symlink("loop-b.vrec", folder / "loop-a.vrec");
    fs::create_symlink("loop-a.vrec", folder / "loop-b.vrec");
    EXPECT_THROW(saveRecord(withOrder("x"), folder / "loop-a.vrec"), RecordError);
    EXPECT_TRUE(fs::is_symlink(folder / "loop-a.vrec"));
}

TEST(SaveRecord, ModeOwnerAndGroupAreKept)
{
    Folder folder;
    for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664)}) {
        const fs::path file = folder / "p.vrec";
        saveRecord(withOrder("alt"), file);
        fs::permissions(file, mode);
        saveRecord(withOrder("neu"), file);
        EXPECT_EQ(fs::status(file).permissions(), mode) << static_cast<int>(mode);
        EXPECT_EQ(orderIn(file), "neu");
    }
    if (::geteuid() == 0) { // only root may give a file away
        const fs::path file = folder / "p.vrec";
        ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
        saveRecord(withOrder("fremd"), file);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
}

TEST(SaveRecord, FileNoOneMayWriteIsRefusedAsReadOnly)
{
    // Decided by the mode, so that it holds for root as well.
    Folder folder;
    for (const fs::perms mode : {fs::perms(0444), fs::perms(0400), fs::perms(0)}) {
        const fs::path file = folder / "p.vrec";
        saveRecord(withOrder("alt"), file);
        const std::string before = readAll(file);
        fs::permissions(file, mode);
        EXPECT_EQ(saveErrorKind([&] { saveRecord(withOrder("neu"), file); }), SaveError::Kind::ReadOnly);
        EXPECT_EQ(fs::status(file).permissions(), mode);
        fs::permissions(file, fs::perms(0600));
        EXPECT_EQ(readAll(file), before);
        fs::remove(file);
    }
    EXPECT_TRUE(folder.names().empty());
}

TEST(SaveRecord, PipesAndFoldersAreNotWrittenOrWaitedOn)
{
    Folder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.vrec").c_str(), 0644), 0);
    fs::create_directory(folder / "ordner.vrec");
    for (const char* name : {"pipe.vrec", "ordner.vrec"})
        EXPECT_THROW(saveRecord(withOrder("x"), folder / name), RecordError) << name;
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.vrec"));
    EXPECT_EQ(stampFile(folder / "pipe.vrec"), std::nullopt);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"ordner.vrec", "pipe.vrec"}));
}

TEST(SaveRecord, TemporaryFilesOfAnInterruptedSaveAreCleanedUp)
{
    Folder folder;
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    const std::string stale = ".veltrano-save-0123456789abcdef.tmp";
    const std::string fresh = ".veltrano-save-fedcba9876543210.tmp"; // a save under way elsewhere
    const std::string linked = ".veltrano-save-00000000000000aa.tmp";
    writeAll(folder / stale, "{ halb");
    fs::last_write_time(folder / stale, old);
    writeAll(folder / fresh, "{ halb");
    writeAll(folder / "fremd.txt", "bleibt");
    fs::create_symlink("fremd.txt", folder / linked);
    fs::last_write_time(folder / "fremd.txt", old);
    for (const char* foreign :
         {".veltrano-save-notours.tmp", ".veltrano-save-0123456789ABCDEF.tmp", "p.vrec.tmp123456"}) {
        writeAll(folder / foreign, "fremd");
        fs::last_write_time(folder / foreign, old);
    }
    saveRecord(withOrder("A"), folder / "p.vrec");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{
                                  ".veltrano-save-00000000000000aa.tmp", ".veltrano-save-0123456789ABCDEF.tmp", fresh,
                                  ".veltrano-save-notours.tmp", "fremd.txt", "p.vrec", "p.vrec.tmp123456"}));
    EXPECT_EQ(readAll(folder / "fremd.txt"), "bleibt");
}

#endif
