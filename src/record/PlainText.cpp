#include "record/PlainText.h"

namespace veltrano::record {

namespace {

// One character of a UTF-8 text and the bytes it took; a byte that starts
// no valid sequence stands for itself.
struct Decoded {
    char32_t c;
    std::size_t length;
};

Decoded decode(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    std::size_t n = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
    if (n <= 1 || i + n > s.size())
        return {b0, 1};
    char32_t c = b0 & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {b0, 1};
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    return {c, n};
}

void append(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The white space of Unicode: tab to carriage return, the spaces and the
// line and paragraph separators.
bool isSpace(char32_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// The lower-case letter of an upper-case one of the Latin, Greek and
// Cyrillic alphabets; every other character as it is.
char32_t fold(char32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    if (c == 0xB5)
        return 0x3BC; // micro sign: Greek mu
    if (c >= 0x100 && c <= 0x17F) {
        if ((c <= 0x12F || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) && c % 2 == 0)
            return c + 1;
        if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && c % 2 == 1)
            return c + 1;
        if (c == 0x178)
            return 0xFF;
        if (c == 0x17F)
            return 's';
        return c;
    }
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB))
        return c + 0x20;
    if (c == 0x3C2)
        return 0x3C3; // final sigma
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0x410 && c <= 0x42F)
        return c + 0x20;
    if (c == 0x1E9E)
        return 0xDF; // capital sharp s
    return c;
}

} // namespace

std::string_view trimmed(std::string_view s)
{
    std::size_t begin = 0;
    while (begin < s.size()) {
        const Decoded d = decode(s, begin);
        if (!isSpace(d.c))
            break;
        begin += d.length;
    }
    std::size_t end = s.size();
    while (end > begin) {
        std::size_t last = end - 1;
        while (last > begin && (static_cast<unsigned char>(s[last]) & 0xC0) == 0x80)
            --last;
        if (!isSpace(decode(s, last).c))
            break;
        end = last;
    }
    return s.substr(begin, end - begin);
}

std::string simplified(std::string_view text)
{
    std::string out;
    bool space = false;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode(text, i);
        if (isSpace(d.c)) {
            space = !out.empty();
        } else {
            if (space)
                out += ' ';
            space = false;
            out.append(text.substr(i, d.length));
        }
        i += d.length;
    }
    return out;
}

std::string caseFolded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode(text, i);
        if (d.length == 1 && d.c >= 0x80)
            out += text[i]; // a stray byte stays as it is
        else
            append(out, fold(d.c));
        i += d.length;
    }
    return out;
}

std::size_t displayColumns(std::string_view s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace veltrano::record
