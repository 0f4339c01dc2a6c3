#include "Output.h"

#include "catalogue/Catalogue.h"
#include "evaluation/CatalogueFields.h"
#include "record/PlainText.h"

#include <algorithm>
#include <cstdint>

namespace veltrano::limits {

using record::displayColumns;

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

void appendEscape(std::string& out, std::uint32_t c)
{
    out += "\\u00";
    out += kHex[(c >> 4) & 15];
    out += kHex[c & 15];
}

// Length of the well-formed UTF-8 sequence at s[i] (1 to 4), or 0 when the
// bytes there are not UTF-8 (overlong forms and surrogates included).
std::size_t sequenceLength(std::string_view s, std::size_t i, std::uint32_t& code)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    std::size_t n = 0;
    std::uint32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        code = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        code = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        code = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

bool isControl(std::uint32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Walks s character by character; plain runs are copied in one piece.
template <typename OnSpecial>
void transcribe(std::string& out, std::string_view s, OnSpecial onSpecial)
{
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
            ++i;
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t n = sequenceLength(s, i, code);
        if (n > 1 && !isControl(code)) {
            i += n;
            continue;
        }
        out.append(s.data() + runStart, i - runStart);
        if (n == 0) {
            out += kReplacement;
            i += 1;
        } else {
            onSpecial(out, code, s.substr(i, n));
            i += n;
        }
        runStart = i;
    }
    out.append(s.data() + runStart, s.size() - runStart);
}

} // namespace

void appendJsonString(std::string& out, std::string_view s)
{
    out += '"';
    transcribe(out, s, [](std::string& o, std::uint32_t c, std::string_view raw) {
        switch (c) {
        case '"':
            o += "\\\"";
            return;
        case '\\':
            o += "\\\\";
            return;
        case '\n':
            o += "\\n";
            return;
        case '\r':
            o += "\\r";
            return;
        case '\t':
            o += "\\t";
            return;
        }
        if (isControl(c))
            appendEscape(o, c);
        else
            o += raw;
    });
    out += '"';
}

std::string jsonString(std::string_view s)
{
    std::string out;
    appendJsonString(out, s);
    return out;
}

namespace {

// Line breaks and tabs become blanks (or, with keepLineFeeds, line feeds
// stay); other control characters are shown as \u escapes.
std::string terminalText(std::string_view s, bool keepLineFeeds)
{
    std::string out;
    out.reserve(s.size());
    transcribe(out, s, [keepLineFeeds](std::string& o, std::uint32_t c, std::string_view raw) {
        if (c == '\n' && keepLineFeeds)
            o += '\n';
        else if (c == '\n' || c == '\r' || c == '\t')
            o += ' ';
        else if (isControl(c))
            appendEscape(o, c);
        else
            o += raw; // '"' and '\\' are plain characters on a terminal
    });
    return out;
}

} // namespace

std::string displayText(std::string_view s)
{
    return terminalText(s, false);
}

std::string terminalLines(std::string_view s)
{
    return terminalText(s, true);
}

std::string formatResults(Format format, const Catalogue& catalogue, const std::string& limitColumn,
                          const std::vector<std::string>& results)
{
    struct Line {
        std::string record, reference, imperfection, limit, result;
    };
    std::vector<Line> lines;
    lines.reserve(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        const int row = static_cast<int>(i);
        lines.push_back({std::to_string(i + 1), catalogue.FieldText(row, field::kReference),
                         catalogue.FieldText(row, field::kImperfection), catalogue.FieldText(row, limitColumn),
                         results[i]});
    }
    std::string out;
    if (format == Format::Json) {
        out = "{\"records\":[";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            out += i ? ",{\"record\":" : "{\"record\":";
            out += l.record;
            out += ",\"reference\":";
            appendJsonString(out, l.reference);
            out += ",\"imperfection\":";
            appendJsonString(out, l.imperfection);
            out += ",\"catalogue_limit\":";
            appendJsonString(out, l.limit);
            out += ",\"result\":";
            appendJsonString(out, l.result);
            out += '}';
        }
        out += "]}\n";
        return out;
    }
    for (Line& l : lines) {
        l.reference = displayText(l.reference);
        l.imperfection = displayText(l.imperfection);
        l.limit = displayText(l.limit);
        l.result = displayText(l.result);
    }
    if (format == Format::Tsv) {
        out = "record\treference\timperfection\tcatalogue_limit\tresult\n";
        for (const Line& l : lines)
            out += l.record + '\t' + l.reference + '\t' + l.imperfection + '\t' + l.limit + '\t' + l.result + '\n';
        return out;
    }
    const Line header{"Nr", "Ordnungsnr.", "Unregelm\u00E4\u00DFigkeit", "Grenzwerte", "f\u00FCr diese Naht"};
    std::size_t w[4] = {displayColumns(header.record), displayColumns(header.reference),
                        displayColumns(header.imperfection), displayColumns(header.limit)};
    for (const Line& l : lines) {
        w[0] = std::max(w[0], displayColumns(l.record));
        w[1] = std::max(w[1], displayColumns(l.reference));
        w[2] = std::max(w[2], displayColumns(l.imperfection));
        w[3] = std::max(w[3], displayColumns(l.limit));
    }
    auto pad = [](const std::string& s, std::size_t width) { return s + std::string(width - displayColumns(s), ' '); };
    auto print = [&](const Line& l) {
        out += std::string(w[0] - displayColumns(l.record), ' ') + l.record + "  " + pad(l.reference, w[1]) + "  " +
               pad(l.imperfection, w[2]) + "  " + pad(l.limit, w[3]) + "  " + l.result + '\n';
    };
    print(header);
    for (const Line& l : lines)
        print(l);
    return out;
}

void appendBatchError(std::string& out, std::string_view message, long long line)
{
    out += "{\"error\":";
    appendJsonString(out, message);
    out += ",\"line\":";
    out += std::to_string(line);
    out += "}\n";
}

} // namespace veltrano::limits
