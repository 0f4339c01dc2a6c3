#include "record/FileStamp.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::record {

namespace {

// SHA-256 as FIPS 180-4 defines it, fed piece by piece.
class Sha256 {
public:
    void add(const unsigned char* data, std::size_t size)
    {
        m_length += size;
        while (size > 0) {
            const std::size_t n = std::min(size, m_block.size() - m_used);
            std::memcpy(m_block.data() + m_used, data, n);
            m_used += n;
            data += n;
            size -= n;
            if (m_used == m_block.size()) {
                compress();
                m_used = 0;
            }
        }
    }

    std::array<std::uint8_t, 32> finish()
    {
        const std::uint64_t bits = m_length * 8;
        const unsigned char one = 0x80;
        add(&one, 1);
        const unsigned char zero = 0;
        while (m_used != 56)
            add(&zero, 1);
        for (int i = 7; i >= 0; --i) {
            const auto byte = static_cast<unsigned char>(bits >> (8 * i));
            add(&byte, 1);
        }
        std::array<std::uint8_t, 32> digest{};
        for (std::size_t i = 0; i < 8; ++i)
            for (std::size_t k = 0; k < 4; ++k)
                digest[4 * i + k] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * k));
        return digest;
    }

private:
    static std::uint32_t rotate(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

    void compress()
    {
        static constexpr std::uint32_t k[64] = {
            0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
            0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
            0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
            0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
            0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
            0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
            0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
            0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
        std::uint32_t w[64];
        for (std::size_t i = 0; i < 16; ++i)
            w[i] = std::uint32_t(m_block[4 * i]) << 24 | std::uint32_t(m_block[4 * i + 1]) << 16 |
                   std::uint32_t(m_block[4 * i + 2]) << 8 | std::uint32_t(m_block[4 * i + 3]);
        for (std::size_t i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotate(w[i - 15], 7) ^ rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotate(w[i - 2], 17) ^ rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4], f = m_state[5],
                      g = m_state[6], h = m_state[7];
        for (std::size_t i = 0; i < 64; ++i) {
            const std::uint32_t t1 =
                h + (rotate(e, 6) ^ rotate(e, 11) ^ rotate(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            const std::uint32_t t2 = (rotate(a, 2) ^ rotate(a, 13) ^ rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const std::uint32_t add[8] = {a, b, c, d, e, f, g, h};
        for (std::size_t i = 0; i < 8; ++i)
            m_state[i] += add[i];
    }

    std::array<std::uint32_t, 8> m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> m_block{};
    std::size_t m_used = 0;
    std::uint64_t m_length = 0;
};

constexpr char kHex[] = "0123456789abcdef";
// No record is this large, and loading refuses far smaller files: beyond it
// no time is spent on hashing.
constexpr std::uintmax_t kLargestStamped = std::uintmax_t(256) << 20;

} // namespace

std::array<std::uint8_t, 32> sha256(std::string_view bytes)
{
    Sha256 hash;
    hash.add(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return hash.finish();
}

std::string FileStamp::text() const
{
    std::string s = std::to_string(size);
    s += ' ';
    s += std::to_string(modified);
    s += ' ';
    for (const std::uint8_t byte : sha256) {
        s += kHex[byte >> 4];
        s += kHex[byte & 15];
    }
    return s;
}

std::optional<FileStamp> FileStamp::fromText(std::string_view text)
{
    const std::size_t first = text.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
    if (second == std::string_view::npos || text.size() - second - 1 != 64)
        return std::nullopt;
    const std::string_view size = text.substr(0, first), modified = text.substr(first + 1, second - first - 1);
    const auto digits = [](std::string_view s, bool sign) {
        if (sign && !s.empty() && s[0] == '-')
            s.remove_prefix(1);
        return !s.empty() && s.size() <= 19 && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(size, false) || !digits(modified, true))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = std::stoull(std::string(size));
    stamp.modified = std::stoll(std::string(modified));
    for (std::size_t i = 0; i < 32; ++i) {
        int byte = 0;
        for (const char c : text.substr(second + 1 + 2 * i, 2)) {
            const char* at = std::strchr(kHex, c);
            if (c == '\0' || !at)
                return std::nullopt;
            byte = byte * 16 + static_cast<int>(at - kHex);
        }
        stamp.sha256[i] = static_cast<std::uint8_t>(byte);
    }
    return stamp;
}

std::optional<FileStamp> stampFile(const std::filesystem::path& file)
{
    FileStamp stamp;
    Sha256 hash;
    std::array<unsigned char, 65536> buffer;
#ifdef _WIN32
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || std::filesystem::file_size(file, ec) > kLargestStamped)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    while (in) {
        in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        const auto n = static_cast<std::size_t>(in.gcount());
        hash.add(buffer.data(), n);
        stamp.size += n;
    }
    if (in.bad())
        return std::nullopt;
    const auto time = std::filesystem::last_write_time(file, ec);
    stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
#else
    // Not blocking: a pipe put in the file's place is refused, not waited on.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::uintmax_t(st.st_size) > kLargestStamped) {
        ::close(fd);
        return std::nullopt;
    }
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        hash.add(buffer.data(), static_cast<std::size_t>(n));
        stamp.size += static_cast<std::size_t>(n);
        if (stamp.size > kLargestStamped) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    stamp.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    stamp.sha256 = hash.finish();
    return stamp;
}

} // namespace veltrano::record
