#include "record/JsonTree.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_set>

namespace veltrano::record {

JsonNode JsonNode::string(std::string s)
{
    JsonNode n;
    n.kind = Kind::String;
    n.text = std::move(s);
    return n;
}

JsonNode JsonNode::number(std::string token)
{
    JsonNode n;
    n.kind = Kind::Number;
    n.text = std::move(token);
    return n;
}

JsonNode JsonNode::flag(bool b)
{
    JsonNode n;
    n.kind = Kind::Boolean;
    n.boolean = b;
    return n;
}

JsonNode JsonNode::object()
{
    JsonNode n;
    n.kind = Kind::Object;
    return n;
}

JsonNode JsonNode::array()
{
    JsonNode n;
    n.kind = Kind::Array;
    return n;
}

const JsonNode* JsonNode::member(std::string_view key) const
{
    for (const auto& [k, v] : members)
        if (k == key)
            return &v;
    return nullptr;
}

namespace {

// Line and column (in characters) of a byte offset.
std::pair<std::size_t, std::size_t> lineAndColumn(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

// Index of the first byte that does not belong to a well-formed UTF-8
// sequence, or the size when there is none.
std::size_t firstInvalidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || (n == 2 && c < 0xC2) || i + n > s.size())
            return i;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return i;
        i += n;
    }
    return s.size();
}

// The JSON library converts every number with a fraction or an exponent, and
// refuses one beyond the range of its floating-point type: with long double
// (up to about 1e4932 where it is wider than double) 1e400 is read, and the
// token as written is all that is kept.
using WideJson =
    nlohmann::basic_json<std::map, std::vector, std::string, bool, std::int64_t, std::uint64_t, long double>;

// Where the container that opens one level deeper than maxDepth begins; the
// text before it has been read as valid JSON.
std::size_t tooDeepAt(std::string_view text, std::size_t maxDepth)
{
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth)
                return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return text.size();
}

// Builds the tree from nlohmann's SAX events: number_float hands over the
// token as written, which a parsed nlohmann::json would have lost.
class TreeBuilder : public nlohmann::json_sax<WideJson> {
public:
    explicit TreeBuilder(std::string_view text)
        : m_text(text)
    {
    }

    // Deeper than any record; keeps the writer's recursion within bounds.
    static constexpr std::size_t kMaxDepth = 256;

    bool null() override { return put(JsonNode{}); }
    bool boolean(bool val) override { return put(JsonNode::flag(val)); }
    bool number_integer(number_integer_t val) override { return put(JsonNode::number(std::to_string(val))); }
    bool number_unsigned(number_unsigned_t val) override { return put(JsonNode::number(std::to_string(val))); }
    bool number_float(number_float_t, const string_t& s) override { return put(JsonNode::number(s)); }
    bool string(string_t& val) override { return put(JsonNode::string(std::move(val))); }
    bool binary(binary_t&) override { return false; }

    bool start_object(std::size_t) override { return open(JsonNode::object()); }
    bool key(string_t& val) override
    {
        // The keys of every open object, looked up in constant time: a
        // linear search per key made an object of 10^5 members take minutes.
        if (!m_keys.back().insert(val).second) {
            const std::string path = openPath();
            m_duplicateKey = path.empty() ? messageExcerpt(val) : path + "." + messageExcerpt(val);
            return false;
        }
        m_pendingKey = std::move(val);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(JsonNode::array()); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& ex) override
    {
        // position counts the bytes read, the one that broke the syntax last.
        const std::size_t read = std::min(position, m_text.size());
        if (const std::size_t bad = firstInvalidUtf8(m_text.substr(0, read)); bad < read) {
            const auto [line, column] = lineAndColumn(m_text, bad);
            throw JsonSyntaxError(line, column, "kein gültiges UTF-8");
        }
        if (position > m_text.size() || position == 0) {
            const auto [line, column] = lineAndColumn(m_text, m_text.size());
            throw JsonSyntaxError(line, column, "kein gültiges JSON: die Datei endet zu früh");
        }
        const std::size_t start = tokenStart(position - 1);
        const auto [line, column] = lineAndColumn(m_text, start);
        // Enough bytes for the excerpt, never the whole of a huge token.
        const std::string_view token = m_text.substr(start, std::min<std::size_t>(position - start, 400));
        if (ex.id == 406) { // a valid number beyond the range of long double
            const bool exponent = token.find_first_of("eE") != std::string_view::npos;
            throw JsonSyntaxError(line, column,
                                  "die Zahl \u00BB" + messageExcerpt(token) + "\u00AB ist zu gro\u00DF" +
                                      (exponent ? ": Exponent zu gro\u00DF" : ""));
        }
        throw JsonSyntaxError(line, column,
                              "kein gültiges JSON: \u00BB" + messageExcerpt(token) + "\u00AB kommt hier unerwartet");
    }

    JsonNode take() { return std::move(m_root); }
    const std::string& duplicateKey() const { return m_duplicateKey; }
    bool tooDeep() const { return m_tooDeep; }

private:
    // The field path of the innermost open container: welds[2].findings[0].
    std::string openPath() const
    {
        std::string path;
        for (std::size_t i = 1; i < m_stack.size(); ++i) {
            const JsonNode& parent = *m_stack[i - 1];
            // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about
            // a text literal joined to a std::string in front of it.
            if (parent.kind == JsonNode::Kind::Object) {
                if (!path.empty())
                    path += '.';
                path += messageExcerpt(parent.members.back().first);
            } else {
                path += '[';
                path += std::to_string(parent.items.size() - 1);
                path += ']';
            }
        }
        return path;
    }

    bool put(JsonNode value)
    {
        if (m_stack.empty()) {
            m_root = std::move(value);
            return true;
        }
        JsonNode& parent = *m_stack.back();
        if (parent.kind == JsonNode::Kind::Object)
            parent.members.emplace_back(std::move(m_pendingKey), std::move(value));
        else
            parent.items.push_back(std::move(value));
        return true;
    }
    bool open(JsonNode container)
    {
        if (m_stack.size() >= kMaxDepth) {
            m_tooDeep = true;
            return false;
        }
        put(std::move(container));
        JsonNode* added = &m_root;
        if (!m_stack.empty()) {
            JsonNode& parent = *m_stack.back();
            added = parent.kind == JsonNode::Kind::Object ? &parent.members.back().second : &parent.items.back();
        }
        m_stack.push_back(added);
        m_keys.emplace_back();
        return true;
    }
    bool close()
    {
        m_stack.pop_back();
        m_keys.pop_back();
        return true;
    }

    // Where the token that ends at last begins: a string at its opening
    // quote, a number or a word at its first character.
    std::size_t tokenStart(std::size_t last) const
    {
        auto word = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '+' ||
                   c == '-';
        };
        std::size_t i = last;
        if (m_text[last] == '"' && last > 0) {
            for (i = last; i-- > 0;) {
                if (m_text[i] != '"')
                    continue;
                std::size_t slashes = 0;
                while (slashes < i && m_text[i - 1 - slashes] == '\\')
                    ++slashes;
                if (slashes % 2 == 0)
                    return i;
            }
            return last;
        }
        if (word(m_text[last]))
            while (i > 0 && word(m_text[i - 1]))
                --i;
        return i;
    }

    std::string_view m_text;
    JsonNode m_root;
    std::vector<JsonNode*> m_stack;                      // a container's children are only appended while it is open
    std::vector<std::unordered_set<std::string>> m_keys; // beside m_stack: the keys of an open object
    std::string m_pendingKey;
    std::string m_duplicateKey;
    bool m_tooDeep = false;
};

void writeString(std::string& out, const std::string& s)
{
    out += nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
}

void write(std::string& out, const JsonNode& n, int depth)
{
    const std::string indent(static_cast<std::size_t>(depth + 1) * 2, ' ');
    const std::string closing(static_cast<std::size_t>(depth) * 2, ' ');
    switch (n.kind) {
    case JsonNode::Kind::Null:
        out += "null";
        return;
    case JsonNode::Kind::Boolean:
        out += n.boolean ? "true" : "false";
        return;
    case JsonNode::Kind::Number:
        out += n.text;
        return;
    case JsonNode::Kind::String:
        writeString(out, n.text);
        return;
    case JsonNode::Kind::Array:
        if (n.items.empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (std::size_t i = 0; i < n.items.size(); ++i) {
            out += indent;
            write(out, n.items[i], depth + 1);
            out += i + 1 < n.items.size() ? ",\n" : "\n";
        }
        out += closing + "]";
        return;
    case JsonNode::Kind::Object:
        if (n.members.empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (std::size_t i = 0; i < n.members.size(); ++i) {
            out += indent;
            writeString(out, n.members[i].first);
            out += ": ";
            write(out, n.members[i].second, depth + 1);
            out += i + 1 < n.members.size() ? ",\n" : "\n";
        }
        out += closing + "}";
        return;
    }
}

} // namespace

std::string messageExcerpt(std::string_view text, std::size_t maxChars)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (chars == maxChars)
            return out + "\u2026";
        const unsigned char c = static_cast<unsigned char>(text[i]);
        ++chars;
        if (c < 0x20 || c == 0x7F) {
            if (c == '\n')
                out += "\\n";
            else if (c == '\t')
                out += "\\t";
            else if (c == '\r')
                out += "\\r";
            else
                out.append("\\u00").append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
            ++i;
            continue;
        }
        const std::size_t rest = text.size() - i;
        const std::size_t bad = firstInvalidUtf8(text.substr(i, std::min<std::size_t>(rest, 4)));
        if (bad == 0) {
            out.append("\\x").append(1, kHex[c >> 4]).append(1, kHex[c & 0xF]);
            ++i;
            continue;
        }
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

JsonNode parseJson(std::string_view text)
{
    // The JSON library takes a NUL byte for the end of the text and would
    // ignore everything after it.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
        const auto [line, column] = lineAndColumn(text, nul);
        throw JsonSyntaxError(line, column, "ein Nullzeichen (NUL) ist in einer Protokolldatei nicht erlaubt");
    }
    TreeBuilder builder(text);
    const bool ok = WideJson::sax_parse(text.begin(), text.end(), &builder);
    if (!ok) {
        if (!builder.duplicateKey().empty())
            throw JsonSyntaxError(0, 0, "steht zweimal im selben Objekt", builder.duplicateKey());
        if (builder.tooDeep()) {
            const auto [line, column] = lineAndColumn(text, tooDeepAt(text, TreeBuilder::kMaxDepth));
            throw JsonSyntaxError(
                line, column, "zu tief verschachtelt (mehr als " + std::to_string(TreeBuilder::kMaxDepth) + " Ebenen)");
        }
        throw JsonSyntaxError(1, 1, "kein gültiges JSON");
    }
    return builder.take();
}

std::string writeJson(const JsonNode& root)
{
    std::string out;
    try {
        write(out, root, 0);
    } catch (const nlohmann::json::exception&) {
        throw std::invalid_argument("ein Text ist kein gültiges UTF-8");
    }
    out += '\n';
    return out;
}

} // namespace veltrano::record
