#pragma once
// What a record file held when the program read or wrote it: its size, its
// time of last change and the SHA-256 of its bytes.  Saving over a record
// compares the file as it is then with the stamp of what was loaded, so that
// the change of another program (a colleague, a sync tool) is not
// overwritten without a word.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::record {

struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the epoch, as the file system keeps it
    std::array<std::uint8_t, 32> sha256{};

    // The same bytes: a file that was only touched still counts as unchanged.
    bool sameContent(const FileStamp& other) const { return size == other.size && sha256 == other.sha256; }
    bool operator==(const FileStamp&) const = default;

    // One line, "SIZE MODIFIED SHA256HEX", for the note beside a recovery copy.
    std::string text() const;
    static std::optional<FileStamp> fromText(std::string_view text);
};

std::array<std::uint8_t, 32> sha256(std::string_view bytes);

// The stamp of the file as it is now (a link followed); nullopt when no
// regular file can be read there or it is larger than any record (256 MiB).
// Never blocks on a pipe or a device.
std::optional<FileStamp> stampFile(const std::filesystem::path& file);

} // namespace veltrano::record
