#pragma once
// Reading a record file from the disk, the one way: only a regular file
// (never a pipe, a device or a folder, which could block or never end), at
// most kMaxRecordBytes, and every failure as a German sentence.  The record
// window's open and save paths and veltrano-limits --check read through here.

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace veltrano::record {

// A record above this size is refused with its size, before it is read.
inline constexpr std::uintmax_t kMaxRecordBytes = std::uintmax_t(256) * 1024 * 1024;

// The whole content of a regular file of at most maxBytes.  Throws
// RecordError (RecordFile.h) naming the file: not found, no permission, file
// name too long, a folder, a pipe or a device, too large, not enough memory.
std::string readRecordText(const std::filesystem::path& file, std::uintmax_t maxBytes = kMaxRecordBytes);

// What a system error means, in German and without the system's own text:
// "Dateiname zu lang", "kein Platz auf dem Datenträger", "keine Berechtigung",
// "nicht gefunden".  For errno values (POSIX and the C runtime on Windows).
std::string germanSystemError(int errnoValue);
// The same for an error code from std::filesystem or the system.
std::string germanSystemError(const std::error_code& ec);

// A size for a message: "300 MiB (314572800 Bytes)".
std::string sizeText(std::uintmax_t bytes);

} // namespace veltrano::record
