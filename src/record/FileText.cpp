#include "record/FileText.h"

#include "record/RecordFile.h"

#include <cerrno>
#include <new>
#include <stdexcept>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::record {

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoMemory = "nicht genug Arbeitsspeicher";

#ifndef _WIN32
// What a file that is not a regular one is, for the message.
std::string notRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return "ist ein Ordner, keine Protokolldatei";
    std::string what = "keine gewöhnliche Datei";
    if (S_ISFIFO(mode))
        what = "eine benannte Pipe (FIFO)";
    else if (S_ISCHR(mode))
        what = "ein Zeichengerät";
    else if (S_ISBLK(mode))
        what = "ein Blockgerät";
    else if (S_ISSOCK(mode))
        what = "ein Socket";
    return "ist " + what + ", keine gewöhnliche Datei; gelesen werden nur gewöhnliche Dateien";
}

struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};
#endif

std::string tooLarge(std::uintmax_t size, std::uintmax_t maxBytes)
{
    return "ist zu groß: " + sizeText(size) + "; ein Prüfprotokoll darf höchstens " + sizeText(maxBytes) + " groß sein";
}

} // namespace

std::string sizeText(std::uintmax_t bytes)
{
    constexpr std::uintmax_t kMiB = 1024 * 1024;
    const std::string exact = std::to_string(bytes) + " Bytes";
    if (bytes < kMiB)
        return exact;
    const std::string mib = std::to_string((bytes + kMiB / 2) / kMiB) + " MiB";
    return (bytes % kMiB ? "rund " + mib : mib) + " (" + exact + ")";
}

std::string germanSystemError(int e)
{
    switch (e) {
    case 0:
        return "unbekannter Fehler";
    case ENOENT:
        return "nicht gefunden";
    case ENOTDIR:
        return "ein Teil des Pfades ist kein Ordner";
    case EACCES:
    case EPERM:
        return "keine Berechtigung";
    case ENAMETOOLONG:
        return "Dateiname zu lang";
    case ENOSPC:
        return "kein Platz auf dem Datenträger";
#ifdef EDQUOT
    case EDQUOT:
        return "das Speicherkontingent auf dem Datenträger ist erschöpft";
#endif
    case EROFS:
        return "der Datenträger ist schreibgeschützt";
    case EISDIR:
        return "ist ein Ordner";
    case EEXIST:
        return "existiert bereits";
    case ELOOP:
        return "zu viele symbolische Verknüpfungen";
    case EIO:
        return "Ein-/Ausgabefehler des Datenträgers";
    case EMFILE:
    case ENFILE:
        return "zu viele offene Dateien";
    case ENOMEM:
        return kNoMemory;
    case EFBIG:
        return "Datei zu groß";
    case EBUSY:
        return "die Datei oder das Gerät wird gerade benutzt";
    case EXDEV:
        return "liegt auf einem anderen Datenträger";
    case EINVAL:
        return "ungültiger Dateiname oder ungültiger Zugriff";
    case ENXIO:
    case ENODEV:
        return "kein solches Gerät";
    case EAGAIN:
        return "vorübergehend nicht verfügbar";
    case EINTR:
        return "unterbrochen";
    default:
        return "Systemfehler " + std::to_string(e);
    }
}

std::string germanSystemError(const std::error_code& ec)
{
    // POSIX system errors and Windows errors that have an errno equivalent
    // map to the generic category.
    const std::error_condition condition = ec.default_error_condition();
    if (condition.category() == std::generic_category())
        return germanSystemError(condition.value());
    return "Systemfehler " + std::to_string(ec.value());
}

std::string readRecordText(const fs::path& file, std::uintmax_t maxBytes)
{
    const std::string name = file.string();
    auto fail = [&](const std::string& message) { throw RecordError(name, 0, 0, "", message); };
    std::string text;
    try {
#ifdef _WIN32
        std::error_code ec;
        const fs::file_status status = fs::status(file, ec);
        if (status.type() == fs::file_type::not_found)
            fail("lässt sich nicht öffnen: " + germanSystemError(ENOENT));
        if (ec)
            fail("lässt sich nicht öffnen: " + germanSystemError(ec));
        if (fs::is_directory(status))
            fail("ist ein Ordner, keine Protokolldatei");
        if (!fs::is_regular_file(status))
            fail("ist keine gewöhnliche Datei; gelesen werden nur gewöhnliche Dateien");
        const std::uintmax_t size = fs::file_size(file, ec);
        if (ec)
            fail("lässt sich nicht lesen: " + germanSystemError(ec));
        if (size > maxBytes)
            fail(tooLarge(size, maxBytes));
        std::ifstream in(file, std::ios::binary);
        if (!in)
            fail("lässt sich nicht öffnen");
        text.reserve(static_cast<std::size_t>(size));
        char block[64 * 1024];
        while (in.read(block, sizeof block) || in.gcount() > 0) {
            text.append(block, static_cast<std::size_t>(in.gcount()));
            if (text.size() > maxBytes)
                fail(tooLarge(text.size(), maxBytes));
        }
        if (in.bad())
            fail("lässt sich nicht lesen");
#else
        // The kind of file before it is opened: opening a device or a pipe
        // can already wait or have effects.
        struct stat before {};
        if (::stat(file.c_str(), &before) != 0)
            fail("lässt sich nicht öffnen: " + germanSystemError(errno));
        if (!S_ISREG(before.st_mode))
            fail(notRegular(before.st_mode));
        if (static_cast<std::uintmax_t>(before.st_size) > maxBytes)
            fail(tooLarge(static_cast<std::uintmax_t>(before.st_size), maxBytes));
        // O_NONBLOCK: should the name meanwhile be a pipe, open does not wait.
        Descriptor d;
        do
            d.fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        while (d.fd < 0 && errno == EINTR);
        if (d.fd < 0)
            fail("lässt sich nicht öffnen: " + germanSystemError(errno));
        struct stat st {};
        if (::fstat(d.fd, &st) != 0)
            fail("lässt sich nicht lesen: " + germanSystemError(errno));
        if (!S_ISREG(st.st_mode))
            fail(notRegular(st.st_mode));
        const auto size = static_cast<std::uintmax_t>(st.st_size);
        if (size > maxBytes)
            fail(tooLarge(size, maxBytes));
        text.reserve(static_cast<std::size_t>(size));
        char block[64 * 1024];
        while (true) {
            const ssize_t n = ::read(d.fd, block, sizeof block);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail("lässt sich nicht lesen: " + germanSystemError(errno));
            }
            if (n == 0)
                break;
            text.append(block, static_cast<std::size_t>(n));
            // A file that grows while it is read stops at the bound too.
            if (text.size() > maxBytes)
                fail(tooLarge(text.size(), maxBytes));
        }
#endif
    } catch (const std::bad_alloc&) {
        fail(std::string("lässt sich nicht lesen: ") + kNoMemory);
    } catch (const std::length_error&) {
        fail(std::string("lässt sich nicht lesen: ") + kNoMemory);
    }
    return text;
}

} // namespace veltrano::record
