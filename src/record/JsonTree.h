#pragma once
// The JSON of a record file as it was written: members in their order and
// numbers as their original tokens, so that a record is saved again with the
// same bytes and a measured 0.330 never becomes the double 0.33000000000000002.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::record {

struct JsonNode {
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text; // a number's token as written, or a string's value
    std::vector<JsonNode> items;
    std::vector<std::pair<std::string, JsonNode>> members;

    // Declared here, defined below the class: a pair holding a JsonNode is
    // complete only once the class is, and some standard libraries check.
    JsonNode();
    JsonNode(const JsonNode&);
    JsonNode(JsonNode&&) noexcept;
    JsonNode& operator=(const JsonNode&);
    JsonNode& operator=(JsonNode&&) noexcept;
    ~JsonNode();

    static JsonNode string(std::string s);
    static JsonNode number(std::string token);
    static JsonNode flag(bool b);
    static JsonNode object();
    static JsonNode array();

    const JsonNode* member(std::string_view key) const;
    void add(std::string key, JsonNode value) { members.emplace_back(std::move(key), std::move(value)); }
};

inline JsonNode::JsonNode() = default;
inline JsonNode::JsonNode(const JsonNode&) = default;
inline JsonNode::JsonNode(JsonNode&&) noexcept = default;
inline JsonNode& JsonNode::operator=(const JsonNode&) = default;
inline JsonNode& JsonNode::operator=(JsonNode&&) noexcept = default;
inline JsonNode::~JsonNode() = default;

// A syntax error at a place in the text: line and column count from 1, the
// column in characters, not bytes.  A key that appears twice in one object is
// named by its field instead (line and column 0).
class JsonSyntaxError : public std::runtime_error {
public:
    JsonSyntaxError(std::size_t line, std::size_t column, const std::string& message, std::string field = {})
        : std::runtime_error(message), m_line(line), m_column(column), m_field(std::move(field)) {}
    std::size_t line() const { return m_line; }
    std::size_t column() const { return m_column; }
    const std::string& field() const { return m_field; }

private:
    std::size_t m_line;
    std::size_t m_column;
    std::string m_field;
};

// Throws JsonSyntaxError.  Every valid JSON number is kept as its token,
// however many digits or however large its exponent (up to the range of a
// long double, about 1e4932; beyond it "die Zahl ... ist zu groß").  A NUL
// byte anywhere is an error at its place, not the end of the text.
JsonNode parseJson(std::string_view text);

// A text as a message quotes it: control characters and bytes that are not
// UTF-8 written out (\n, \u0000, \xFF), and no more than maxChars characters,
// the rest cut off with "…".  Keeps a message about a huge value readable.
std::string messageExcerpt(std::string_view text, std::size_t maxChars = 40);

// The one way a record file is written: two blanks of indent per level, one
// member or item per line, empty arrays and objects as [] and {}, a final
// line break.  Throws std::invalid_argument for a text that is not UTF-8.
std::string writeJson(const JsonNode& root);

} // namespace veltrano::record
