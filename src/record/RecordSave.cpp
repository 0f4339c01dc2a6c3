// Saving a record file: the file a link points to, its permissions kept, a
// file changed by another program since loading or one no one may write
// refused with a reason of its own, every failed write, flush, rename or
// close reported in German.

#include "record/FileText.h"
#include "record/RecordFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <string_view>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::record {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryPrefix = ".veltrano-save-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;
// A temporary file this young may belong to a save under way in another
// copy of the program; older ones are left over from an interrupted save.
constexpr auto kStaleAfter = std::chrono::minutes(1);
constexpr int kMostLinks = 40;

[[noreturn]] void fail(const std::string& name, const std::string& message)
{
    throw RecordError(name, 0, 0, "", message);
}

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

bool isTemporaryName(std::string_view name)
{
    if (name.size() != kTemporaryPrefix.size() + kTemporaryDigits + kTemporarySuffix.size() ||
        name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix ||
        name.substr(name.size() - kTemporarySuffix.size()) != kTemporarySuffix)
        return false;
    return name.substr(kTemporaryPrefix.size(), kTemporaryDigits).find_first_not_of("0123456789abcdef") ==
           std::string_view::npos;
}

std::string temporaryName(std::mt19937_64& random)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string name(kTemporaryPrefix);
    std::uint64_t bits = random();
    for (std::size_t i = 0; i < kTemporaryDigits; ++i, bits >>= 4)
        name += hex[bits & 15];
    name += kTemporarySuffix;
    return name;
}

// The file that saving writes: links followed to their last target, which
// may not exist yet.  The path is not tidied up, so that ".." after a linked
// folder means what the system makes of it.
fs::path finalTarget(const fs::path& file, const std::string& name)
{
    fs::path p = file;
    for (int links = 0;; ++links) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(p, ec);
        if (status.type() == fs::file_type::not_found)
            return p;
        if (ec)
            fail(name, "lässt sich nicht speichern: " + saveFailureText(ec));
        if (status.type() != fs::file_type::symlink)
            return p;
        if (links == kMostLinks)
            fail(name, "lässt sich nicht speichern: zu viele Verknüpfungen hintereinander (eine Schleife?)");
        const fs::path to = fs::read_symlink(p, ec);
        if (ec)
            fail(name, "lässt sich nicht speichern: " + saveFailureText(ec));
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
}

// No one may write the file: no write permission for anyone (which holds
// for root as well), or none for this user, or a read-only medium.
bool isReadOnly(const fs::path& target)
{
#ifdef _WIN32
    std::error_code ec;
    return (fs::status(target, ec).permissions() & fs::perms::owner_write) == fs::perms::none;
#else
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0)
        return false;
    return (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0;
#endif
}

// Temporary files of saves that were interrupted, in the target's folder:
// only names this program makes, only regular files, none that a running
// save still holds.
void removeStaleTemporaries(const fs::path& folder)
{
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code entry;
        if (!isTemporaryName(it->path().filename().string()) || !it->is_regular_file(entry) || it->is_symlink(entry))
            continue;
        const auto written = fs::last_write_time(it->path(), entry);
        if (entry || now - written < kStaleAfter)
            continue;
#ifdef _WIN32
        fs::remove(it->path(), entry);
#else
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
#endif
    }
}

#ifndef _WIN32
bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
#endif

// After the rename, the folder's entry reaches the disk too; a file system
// that cannot flush a folder is no failure.
void flushFolder([[maybe_unused]] const std::string& name, [[maybe_unused]] const fs::path& folder)
{
#ifndef _WIN32
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    const std::error_code error = lastError();
    ::close(fd);
    if (!flushed)
        fail(name, "ist geschrieben, doch der Eintrag im Ordner hat den Datenträger nicht sicher erreicht (" +
                       saveFailureText(error) + ")");
#endif
}

// Writes the bytes to a new temporary file in the folder, with the mode (and
// owner and group) of the file it replaces; returns its path and the time
// the file system gave it.
std::pair<fs::path, std::int64_t> writeTemporary(const std::string& name, const fs::path& folder,
                                                 const std::string& text, bool replaces,
                                                 [[maybe_unused]] const fs::path& target)
{
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t(seed()) << 32) ^ seed());
    fs::path temporary;
#ifdef _WIN32
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < 20 && !out; ++attempt) {
        temporary = folder / temporaryName(random);
        out = _wfopen(temporary.c_str(), L"wbx");
    }
    if (!out)
        fail(name, "lässt sich nicht speichern: im Ordner kann keine Datei angelegt werden (" +
                       saveFailureText(lastError()) + ")");
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0 &&
                         _commit(_fileno(out)) == 0;
    const std::error_code writeError = lastError();
    const bool closed = std::fclose(out) == 0;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(temporary, ec);
        fail(name, "lässt sich nicht speichern: Schreiben fehlgeschlagen (" +
                       saveFailureText(written ? lastError() : writeError) + ")");
    }
    if (replaces)
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    return {temporary, 0};
#else
    int fd = -1;
    for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
        temporary = folder / temporaryName(random);
        // Only the owner can read it until it has the target's mode.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const std::error_code error = lastError();
        const std::string message =
            "lässt sich nicht speichern: im Ordner kann keine Datei angelegt werden (" + saveFailureText(error) + ")";
        if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
            error == std::errc::read_only_file_system)
            throw SaveError(name, SaveError::Kind::ReadOnly, message);
        fail(name, message);
    }
    // Held until the rename: a later save does not take it for left over.
    ::flock(fd, LOCK_EX | LOCK_NB);
    const auto abandon = [&](const std::string& what, std::error_code error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(name, "lässt sich nicht speichern: " + what + " (" + saveFailureText(error) + ")");
    };
    if (replaces) {
        struct stat st {};
        if (::stat(target.c_str(), &st) != 0)
            abandon("die Rechte der Datei lassen sich nicht lesen", lastError());
        // Owner and group where the process may set them; a group of the
        // user's own at least.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        if (::fchmod(fd, st.st_mode & 07777) != 0)
            abandon("die Rechte der Datei lassen sich nicht übernehmen", lastError());
    }
    if (!writeAll(fd, text))
        abandon("Schreiben fehlgeschlagen", lastError());
    if (::fsync(fd) != 0)
        abandon("Schreiben auf den Datenträger fehlgeschlagen", lastError());
    struct stat written {};
    if (::fstat(fd, &written) != 0)
        abandon("Schreiben fehlgeschlagen", lastError());
    if (::close(fd) != 0) {
        const std::error_code error = lastError();
        ::unlink(temporary.c_str());
        fail(name, "lässt sich nicht speichern: Schließen der Datei fehlgeschlagen (" + saveFailureText(error) + ")");
    }
    return {temporary, static_cast<std::int64_t>(written.st_mtim.tv_sec) * 1000000000 + written.st_mtim.tv_nsec};
#endif
}

} // namespace

SaveError::SaveError(std::string file, Kind kind, std::string message)
    : RecordError(std::move(file), 0, 0, "", std::move(message))
    , m_kind(kind)
{
}

std::string saveFailureText(const std::error_code& error)
{
    // On saving, a name that is not there is the folder: the file itself is made.
    if (error == std::errc::no_such_file_or_directory)
        return "der Ordner ist nicht vorhanden";
    return germanSystemError(error);
}

FileStamp saveRecord(const Record& record, const fs::path& file, const std::optional<FileStamp>& loaded, SaveMode mode)
{
    const std::string name = file.string();
    validateRecord(record, name);
    std::string text;
    try {
        text = serializeRecord(record);
    } catch (const RecordError& e) {
        fail(name, e.message());
    }

    const fs::path target = finalTarget(file, name);
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool replaces = fs::exists(status);
    if (replaces) {
        if (fs::is_directory(status))
            fail(name, "ist ein Ordner, keine Protokolldatei");
        if (!fs::is_regular_file(status))
            fail(name, "wird nicht überschrieben, denn sie ist keine gewöhnliche Datei");
        if (isReadOnly(target))
            throw SaveError(name, SaveError::Kind::ReadOnly, "ist schreibgeschützt");
        if (loaded && mode == SaveMode::KeepOtherChanges) {
            const std::optional<FileStamp> now = stampFile(target);
            if (!now || !now->sameContent(*loaded))
                throw SaveError(name, SaveError::Kind::ChangedSinceLoaded,
                                "wurde inzwischen außerhalb des Programms geändert");
        }
        try {
            loadRecord(target);
        } catch (const RecordError& e) {
            fail(name, "wird nicht überschrieben, denn sie ist kein lesbares Prüfprotokoll (" + e.message() + ")");
        }
    }

    const fs::path folder = target.parent_path();
    removeStaleTemporaries(folder);
    const auto [temporary, modified] = writeTemporary(name, folder, text, replaces, target);
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        fail(name, "lässt sich nicht speichern: " + saveFailureText(ec));
    }
    flushFolder(name, folder);

    FileStamp stamp;
    stamp.size = text.size();
    stamp.modified = modified;
    stamp.sha256 = sha256(text);
#ifdef _WIN32
    const auto time = fs::last_write_time(target, ec);
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
#endif
    return stamp;
}

} // namespace veltrano::record
