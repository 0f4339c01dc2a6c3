// veltrano-limits: evaluates welds from the command line, through the same
// catalogue, driver and recalculation walk as the program's window.

#include "Catalogue.h"
#include "Recalculation.h"

#ifdef VELTRANO_LIMITS_REPORT
#include "ReportParameters.h"
#include "ReportRenderer.h"
#endif

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using veltrano::QualityLevel;
using veltrano::WeldInput;

constexpr int kUsageError = 2;
constexpr int kCatalogueError = 3;
constexpr int kReportError = 4;

const char* const kUsage =
    "usage: veltrano-limits [--catalogue FILE] --seam butt|fillet|none --level B|C|D --t T --l L --b B --bw BW\n"
    "                       [--welder-test] [--rail-bridge] [--decimal-separator SEP] [--format table|tsv|json]\n"
    "                       [--pdf FILE]\n"
    "       veltrano-limits [--catalogue FILE] [--decimal-separator SEP] --batch --format json\n";

struct UsageError {
    std::string message;
};

std::filesystem::path programDir(const char* argv0)
{
#ifdef _WIN32
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    return std::filesystem::path(buf).parent_path();
#else
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return std::filesystem::absolute(argv0, ec).parent_path();
#endif
}

std::string localeDecimalSeparator()
{
    std::setlocale(LC_NUMERIC, "");
    const std::lconv* lc = std::localeconv();
    std::string sep = lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".";
    std::setlocale(LC_NUMERIC, "C");
    return sep;
}

// ---- weld dimensions, checked as the window's fields would hold them --------

struct Range {
    const char* option;
    double min;
    double max;
    double step;
};

constexpr Range kT{"--t", 0.5, 1000, 0.5};
constexpr Range kL{"--l", 1, 1000, 1};
constexpr Range kB{"--b", 1, 100, 1};
constexpr Range kBw{"--bw", 1, 50, 0.5};

std::string describe(const Range& r, const char* name = nullptr)
{
    std::ostringstream s;
    s << (name ? name : r.option) << " accepts a number from " << r.min << " to " << r.max
      << (r.step == 1 ? " in whole millimetres" : " in steps of 0.5 mm");
    return s.str();
}

float checkedDimension(const Range& r, double v, const char* name = nullptr)
{
    const double steps = v / r.step;
    if (!std::isfinite(v) || v < r.min || v > r.max || steps != std::floor(steps))
        throw UsageError{describe(r, name)};
    return static_cast<float>(v);
}

float parseDimension(const Range& r, const std::string& text)
{
    // Numbers on the command line are written with a dot, whatever the locale.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double v = 0;
    in >> v;
    if (text.empty() || in.fail() || !in.eof())
        throw UsageError{describe(r)};
    return checkedDimension(r, v);
}

int parseSeam(const std::string& text)
{
    if (text == "butt")
        return static_cast<int>(veltrano::SeamType::Butt);
    if (text == "fillet")
        return static_cast<int>(veltrano::SeamType::Fillet);
    if (text == "none")
        return -1;
    throw UsageError{"--seam accepts butt, fillet or none"};
}

QualityLevel parseLevel(const std::string& text)
{
    if (text == "B" || text == "b")
        return QualityLevel::B;
    if (text == "C" || text == "c")
        return QualityLevel::C;
    if (text == "D" || text == "d")
        return QualityLevel::D;
    throw UsageError{"--level accepts B, C or D"};
}

// ---- JSON ------------------------------------------------------------------

std::string jsonString(std::string_view s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// One flat JSON object of strings, numbers and booleans: all a batch line holds.
struct JsonValue {
    enum Kind { String, Number, Bool, Null } kind = Null;
    std::string text;
    double number = 0;
    bool boolean = false;
};

class FlatJsonParser {
public:
    explicit FlatJsonParser(std::string_view s) : m_s(s) {}

    std::map<std::string, JsonValue> parseObject()
    {
        std::map<std::string, JsonValue> out;
        skipSpace();
        expect('{');
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
        } else {
            for (;;) {
                skipSpace();
                std::string key = parseString();
                skipSpace();
                expect(':');
                skipSpace();
                if (out.count(key))
                    throw std::runtime_error("duplicate key \"" + key + "\"");
                out[key] = parseValue();
                skipSpace();
                if (peek() == ',') {
                    ++m_pos;
                    continue;
                }
                expect('}');
                break;
            }
        }
        skipSpace();
        if (m_pos != m_s.size())
            throw std::runtime_error("unexpected text after the object");
        return out;
    }

private:
    char peek() const { return m_pos < m_s.size() ? m_s[m_pos] : '\0'; }
    void skipSpace()
    {
        while (m_pos < m_s.size() && (m_s[m_pos] == ' ' || m_s[m_pos] == '\t' || m_s[m_pos] == '\r' || m_s[m_pos] == '\n'))
            ++m_pos;
    }
    void expect(char c)
    {
        if (peek() != c)
            throw std::runtime_error(std::string("expected '") + c + "' at position " + std::to_string(m_pos + 1));
        ++m_pos;
    }
    std::string parseString()
    {
        expect('"');
        std::string out;
        while (m_pos < m_s.size() && m_s[m_pos] != '"') {
            char c = m_s[m_pos++];
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("control character in a string");
            if (c == '\\') {
                if (m_pos >= m_s.size())
                    break;
                c = m_s[m_pos++];
                switch (c) {
                case '"':
                case '\\':
                case '/':
                    out += c;
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                default:
                    throw std::runtime_error("unsupported escape in a string");
                }
                continue;
            }
            out += c;
        }
        expect('"');
        return out;
    }
    JsonValue parseValue()
    {
        JsonValue v;
        const char c = peek();
        if (c == '"') {
            v.kind = JsonValue::String;
            v.text = parseString();
        } else if (m_s.substr(m_pos, 4) == "true") {
            v.kind = JsonValue::Bool;
            v.boolean = true;
            m_pos += 4;
        } else if (m_s.substr(m_pos, 5) == "false") {
            v.kind = JsonValue::Bool;
            m_pos += 5;
        } else if (m_s.substr(m_pos, 4) == "null") {
            m_pos += 4;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const std::size_t start = m_pos;
            while (m_pos < m_s.size() && std::string_view("+-0123456789.eE").find(m_s[m_pos]) != std::string_view::npos)
                ++m_pos;
            std::istringstream in(std::string(m_s.substr(start, m_pos - start)));
            in.imbue(std::locale::classic());
            in >> v.number;
            if (in.fail() || !in.eof())
                throw std::runtime_error("bad number");
            v.kind = JsonValue::Number;
        } else {
            throw std::runtime_error("unsupported value at position " + std::to_string(m_pos + 1));
        }
        return v;
    }

    std::string_view m_s;
    std::size_t m_pos = 0;
};

struct Job {
    WeldInput weld;
    QualityLevel level = QualityLevel::B;
};

Job jobFromJson(const std::string& line)
{
    const auto object = FlatJsonParser(line).parseObject();
    static const std::map<std::string, int> known = {{"seam", 0}, {"level", 0}, {"t", 0}, {"l", 0}, {"b", 0},
                                                     {"bw", 0}, {"welder_test", 0}, {"rail_bridge", 0}};
    for (const auto& [key, value] : object) {
        if (!known.count(key))
            throw UsageError{"unknown key \"" + key + "\""};
    }
    auto text = [&](const char* key, const char* what) {
        const auto it = object.find(key);
        if (it == object.end() || it->second.kind != JsonValue::String)
            throw UsageError{std::string(key) + " must be " + what};
        return it->second.text;
    };
    auto number = [&](const Range& r, const char* key) {
        const auto it = object.find(key);
        if (it == object.end() || it->second.kind != JsonValue::Number)
            throw UsageError{describe(r, key)};
        return checkedDimension(r, it->second.number, key);
    };
    auto flag = [&](const char* key) {
        const auto it = object.find(key);
        if (it == object.end())
            return false;
        if (it->second.kind != JsonValue::Bool)
            throw UsageError{std::string(key) + " must be true or false"};
        return it->second.boolean;
    };
    Job job;
    job.weld.seamType = parseSeam(text("seam", "\"butt\", \"fillet\" or \"none\""));
    job.level = parseLevel(text("level", "\"B\", \"C\" or \"D\""));
    job.weld.t = number(kT, "t");
    job.weld.l = number(kL, "l");
    job.weld.b = number(kB, "b");
    job.weld.bw = number(kBw, "bw");
    job.weld.welderTest = flag("welder_test");
    job.weld.railBridge = flag("rail_bridge");
    return job;
}

// ---- output ----------------------------------------------------------------

// Width of a UTF-8 text in characters, for the aligned table.
std::size_t columns(std::string_view s)
{
    std::size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

void printResults(std::ostream& out, const std::string& format, const veltrano::Catalogue& catalogue,
                  const std::string& limitColumn, const std::vector<std::string>& results)
{
    struct Line {
        std::string record, reference, imperfection, limit, result;
    };
    std::vector<Line> lines;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const int row = static_cast<int>(i);
        lines.push_back({std::to_string(i + 1), catalogue.FieldText(row, "OrdnungsNr"),
                         catalogue.FieldText(row, "Unregelm\u00E4\u00DFigkeit"), catalogue.FieldText(row, limitColumn),
                         results[i]});
    }
    if (format == "json") {
        out << "{\"records\":[";
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            out << (i ? "," : "") << "{\"record\":" << l.record << ",\"reference\":" << jsonString(l.reference)
                << ",\"imperfection\":" << jsonString(l.imperfection) << ",\"catalogue_limit\":" << jsonString(l.limit)
                << ",\"result\":" << jsonString(l.result) << "}";
        }
        out << "]}\n";
        return;
    }
    // Line breaks and tabs inside catalogue texts would break the row layout.
    auto flat = [](std::string s) {
        for (char& c : s)
            if (c == '\n' || c == '\r' || c == '\t')
                c = ' ';
        return s;
    };
    if (format == "tsv") {
        out << "record\treference\timperfection\tcatalogue_limit\tresult\n";
        for (const Line& l : lines)
            out << l.record << '\t' << flat(l.reference) << '\t' << flat(l.imperfection) << '\t' << flat(l.limit)
                << '\t' << flat(l.result) << '\n';
        return;
    }
    const Line header{"Nr", "Ordnungsnr.", "Unregelm\u00E4\u00DFigkeit", "Grenzwerte", "f\u00FCr diese Naht"};
    std::size_t w[4] = {columns(header.record), columns(header.reference), columns(header.imperfection),
                        columns(header.limit)};
    for (const Line& l : lines) {
        w[0] = std::max(w[0], columns(l.record));
        w[1] = std::max(w[1], columns(flat(l.reference)));
        w[2] = std::max(w[2], columns(flat(l.imperfection)));
        w[3] = std::max(w[3], columns(flat(l.limit)));
    }
    auto pad = [](const std::string& s, std::size_t width) { return s + std::string(width - columns(s), ' '); };
    auto print = [&](const Line& l) {
        out << std::string(w[0] - columns(l.record), ' ') << l.record << "  " << pad(flat(l.reference), w[1]) << "  "
            << pad(flat(l.imperfection), w[2]) << "  " << pad(flat(l.limit), w[3]) << "  " << flat(l.result) << '\n';
    };
    print(header);
    for (const Line& l : lines)
        print(l);
}

struct Options {
    std::optional<std::string> catalogue;
    std::optional<std::string> separator;
    std::optional<std::string> pdf;
    std::string format = "table";
    bool formatGiven = false;
    bool batch = false;
    std::map<std::string, std::string> values;
    bool welderTest = false;
    bool railBridge = false;
};

Options parseOptions(int argc, char** argv)
{
    Options o;
    static const std::vector<std::string> valued = {"--catalogue", "--seam", "--level", "--t", "--l", "--b", "--bw",
                                                    "--decimal-separator", "--format", "--pdf"};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        if (arg == "--welder-test" || arg == "--rail-bridge" || arg == "--batch") {
            if (hasValue)
                throw UsageError{arg + " takes no value"};
            (arg == "--batch" ? o.batch : arg == "--welder-test" ? o.welderTest : o.railBridge) = true;
            continue;
        }
        if (std::find(valued.begin(), valued.end(), arg) == valued.end())
            throw UsageError{"unknown option " + arg};
        if (!hasValue) {
            if (i + 1 >= argc)
                throw UsageError{arg + " needs a value"};
            value = argv[++i];
        }
        if (arg == "--catalogue")
            o.catalogue = value;
        else if (arg == "--decimal-separator")
            o.separator = value;
        else if (arg == "--pdf") {
#ifndef VELTRANO_LIMITS_REPORT
            throw UsageError{"--pdf needs a build with the windowed parts (VELTRANO_WITH_GUI)"};
#endif
            if (value.empty())
                throw UsageError{"--pdf needs a file name"};
            o.pdf = value;
        }
        else if (arg == "--format") {
            if (value != "table" && value != "tsv" && value != "json")
                throw UsageError{"--format accepts table, tsv or json"};
            o.format = value;
            o.formatGiven = true;
        } else
            o.values[arg] = value;
    }
    if (o.separator && o.separator->empty())
        throw UsageError{"--decimal-separator accepts a non-empty text, for example , or ."};
    if (o.batch) {
        if (!o.values.empty() || o.welderTest || o.railBridge)
            throw UsageError{"--batch reads the welds from standard input and takes no weld options"};
        if (o.pdf)
            throw UsageError{"--pdf writes the report of one weld and cannot be used with --batch"};
        if (o.format != "json")
            throw UsageError{"--batch needs --format json"};
        return o;
    }
    for (const char* required : {"--seam", "--level", "--t", "--l", "--b", "--bw"}) {
        if (!o.values.count(required))
            throw UsageError{std::string("missing option ") + required};
    }
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    Options options;
    Job job;
    try {
        options = parseOptions(argc, argv);
        if (!options.batch) {
            job.weld.seamType = parseSeam(options.values["--seam"]);
            job.level = parseLevel(options.values["--level"]);
            job.weld.t = parseDimension(kT, options.values["--t"]);
            job.weld.l = parseDimension(kL, options.values["--l"]);
            job.weld.b = parseDimension(kB, options.values["--b"]);
            job.weld.bw = parseDimension(kBw, options.values["--bw"]);
            job.weld.welderTest = options.welderTest;
            job.weld.railBridge = options.railBridge;
        }
    } catch (const UsageError& e) {
        std::cerr << "veltrano-limits: " << e.message << '\n' << kUsage;
        return kUsageError;
    }

    const std::filesystem::path file = options.catalogue ? std::filesystem::path(*options.catalogue)
                                                         : veltrano::catalogueFileIn(programDir(argv[0]));
    const std::string separator = options.separator ? *options.separator : localeDecimalSeparator();

    std::optional<veltrano::Recalculation> recalculation;
    try {
        recalculation.emplace(file, separator);
    } catch (const veltrano::CatalogueError& e) {
        std::cerr << "veltrano-limits: " << e.what() << '\n';
        return kCatalogueError;
    }

    if (!options.batch) {
        const auto results = recalculation->run(job.weld, job.level);
#ifdef VELTRANO_LIMITS_REPORT
        // The evaluation report of this weld: the header as the window's
        // fields show it, the results those of the pass just run.
        if (options.pdf) {
            namespace report = veltrano::report;
            const auto params = report::buildReportParameters(
                report::reportInputsFor(job.weld, static_cast<int>(job.level), separator),
                recalculation->state().aResult);
            QString error;
            if (!report::writeReportPdf(QString::fromLocal8Bit(options.pdf->c_str()), params, &error)) {
                std::cerr << "veltrano-limits: " << error.toStdString() << '\n';
                return kReportError;
            }
            if (!options.formatGiven)
                return 0;
        }
#endif
        printResults(std::cout, options.format, recalculation->catalogue(), veltrano::limitColumn(job.level), results);
        std::cout.flush();
        return std::cout ? 0 : 1;
    }

    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        try {
            const Job batchJob = jobFromJson(line);
            const auto results = recalculation->run(batchJob.weld, batchJob.level);
            std::cout << "{\"results\":[";
            for (std::size_t i = 0; i < results.size(); ++i)
                std::cout << (i ? "," : "") << jsonString(results[i]);
            std::cout << "]}\n";
        } catch (const UsageError& e) {
            std::cout << "{\"error\":" << jsonString(e.message) << "}\n";
        } catch (const std::exception& e) {
            std::cout << "{\"error\":" << jsonString(std::string("bad JSON: ") + e.what()) << "}\n";
        }
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
