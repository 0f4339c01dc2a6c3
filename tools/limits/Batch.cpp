#include "Batch.h"

#include "Output.h"
#include "WeldText.h"
#include "catalogue/Recalculation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>
#include <vector>

namespace veltrano::limits {

namespace {

// One value of the flat batch object, kept as the text it was written with.
struct Value {
    enum Kind { Absent, String, Number, Bool, Other } kind = Absent;
    std::string text;
    bool boolean = false;
};

constexpr std::string_view kKeys[] = {"seam", "level", "t", "l", "b", "bw", "welder_test", "rail_bridge"};
constexpr std::size_t kKeyCount = std::size(kKeys);

// Collects the members of one flat JSON object; nested values are marked as
// such and reported as the wrong kind of value for their key.
class FlatObject : public nlohmann::json_sax<nlohmann::json> {
public:
    Value values[kKeyCount];
    std::string fault;

    bool null() override { return put(Value::Other); }
    bool boolean(bool v) override
    {
        if (!put(Value::Bool))
            return false;
        if (m_depth == 1 && m_current)
            m_current->boolean = v;
        return true;
    }
    bool number_integer(number_integer_t v) override { return number(std::to_string(v)); }
    bool number_unsigned(number_unsigned_t v) override { return number(std::to_string(v)); }
    bool number_float(number_float_t, const string_t& text) override { return number(text); }
    bool string(string_t& v) override
    {
        if (!put(Value::String))
            return false;
        if (m_depth == 1 && m_current)
            m_current->text = std::move(v);
        return true;
    }
    bool binary(binary_t&) override { return put(Value::Other); }
    bool start_object(std::size_t) override { return open(); }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override
    {
        m_arrayNext = true;
        return open();
    }
    bool end_array() override { return close(); }
    bool key(string_t& k) override
    {
        if (m_depth != 1)
            return true;
        m_current = nullptr;
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            if (k == kKeys[i]) {
                if (values[i].kind != Value::Absent)
                    return fail("duplicate key \"" + k + "\"");
                m_current = &values[i];
                return true;
            }
        }
        return fail("unknown key \"" + k + "\"");
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override
    {
        // nlohmann's text, without its "[json.exception...]" tag, the position
        // (given as the column) and the bytes it last read.
        std::string what = e.what();
        if (const auto tag = what.find("] "); tag != std::string::npos)
            what.erase(0, tag + 2);
        if (const auto last = what.find("; last read:"); last != std::string::npos)
            what.resize(last);
        if (what.rfind("parse error", 0) == 0)
            if (const auto colon = what.find(": "); colon != std::string::npos)
                what.erase(0, colon + 2);
        return fail("bad JSON at column " + std::to_string(position) + ": " + what);
    }

private:
    bool fail(std::string message)
    {
        if (fault.empty())
            fault = std::move(message);
        return false;
    }
    bool put(Value::Kind kind)
    {
        if (m_depth == 0)
            return fail("a batch line is one JSON object");
        if (m_depth == 1 && m_current)
            m_current->kind = kind;
        return true;
    }
    bool number(const std::string& text)
    {
        if (!put(Value::Number))
            return false;
        if (m_depth == 1 && m_current)
            m_current->text = text;
        return true;
    }
    bool open()
    {
        if (m_depth == 0 && m_arrayNext)
            return fail("a batch line is one JSON object");
        if (m_depth == 1 && m_current)
            m_current->kind = Value::Other;
        m_arrayNext = false;
        ++m_depth;
        return true;
    }
    bool close()
    {
        --m_depth;
        return true;
    }

    int m_depth = 0;
    bool m_arrayNext = false; // the value being opened is an array
    Value* m_current = nullptr;
};

// Reads lines of at most kMaxBatchLine bytes; the rest of a longer line is
// skipped without being held.
class LineReader {
public:
    explicit LineReader(std::istream& in)
        : m_buf(*in.rdbuf())
    {
    }

    // False at the end of the input.
    bool next(std::string& line, bool& tooLong)
    {
        line.clear();
        tooLong = false;
        using Traits = std::streambuf::traits_type;
        int c = m_buf.sbumpc();
        if (c == Traits::eof())
            return false;
        while (c != Traits::eof() && c != '\n') {
            if (line.size() < kMaxBatchLine)
                line += static_cast<char>(c);
            else
                tooLong = true;
            c = m_buf.sbumpc();
        }
        if (!tooLong && !line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    // Whether a read now would have to wait for the input.
    bool wouldWait() { return m_buf.in_avail() <= 0; }

private:
    std::streambuf& m_buf;
};

} // namespace

BatchWeld batchWeldFromJson(std::string_view line)
{
    // The JSON library takes a NUL byte for the end of the text and would
    // ignore the rest of the line.
    if (const auto nul = line.find('\0'); nul != std::string_view::npos)
        throw UsageError("NUL byte at column " + std::to_string(nul + 1));
    FlatObject object;
    const bool ok = nlohmann::json::sax_parse(line.begin(), line.end(), &object);
    if (!ok || !object.fault.empty())
        throw UsageError(object.fault.empty() ? "bad JSON" : object.fault);

    const auto& v = object.values;
    auto text = [&](std::size_t key, const char* what) -> const std::string& {
        if (v[key].kind != Value::String)
            throw UsageError(std::string(kKeys[key]) + " must be " + what);
        return v[key].text;
    };
    auto dimension = [&](std::size_t key, const DimensionRange& range) {
        if (v[key].kind != Value::Number)
            throw UsageError(describe(range, ""));
        return dimensionFromText(v[key].text, range, "");
    };
    auto flag = [&](std::size_t key) {
        if (v[key].kind == Value::Absent)
            return false;
        if (v[key].kind != Value::Bool)
            throw UsageError(std::string(kKeys[key]) + " must be true or false");
        return v[key].boolean;
    };
    BatchWeld w;
    w.weld.seamType = seamFromText(text(0, "\"butt\", \"fillet\" or \"none\""), "");
    w.level = levelFromText(text(1, "\"B\", \"C\" or \"D\""), "");
    w.weld.t = dimension(2, kRangeT);
    w.weld.l = dimension(3, kRangeL);
    w.weld.b = dimension(4, kRangeB);
    w.weld.bw = dimension(5, kRangeBw);
    w.weld.welderTest = flag(6);
    w.weld.railBridge = flag(7);
    return w;
}

BatchResult runBatch(std::istream& in, std::ostream& out, Recalculation& recalculation)
{
    constexpr std::size_t kBlock = 64 * 1024;
    BatchResult result;
    LineReader reader(in);
    std::string line;
    std::string pending;
    pending.reserve(2 * kBlock);
    auto write = [&]() {
        if (!pending.empty()) {
            errno = 0;
            out.write(pending.data(), static_cast<std::streamsize>(pending.size()));
            pending.clear();
        }
        out.flush();
        if (!out) {
            result.outputFailed = true;
            result.outputError = errno ? std::strerror(errno) : "write error";
        }
        return !result.outputFailed;
    };

    // Most records give the same text for weld after weld (a verdict, the
    // catalogue's own limit text): each record's last text is kept with its
    // JSON form, which is then written again without being escaped anew.
    std::vector<std::string> lastText(EvaluationState::kCacheSize), lastJson(EvaluationState::kCacheSize);
    auto appendResults = [&]() {
        const auto& cache = recalculation.state().aResult;
        const int count = std::min(recalculation.state().iRecCount, EvaluationState::kCacheSize - 1);
        pending += "{\"results\":[";
        for (int rec = 1; rec <= count; ++rec) {
            const auto i = static_cast<std::size_t>(rec);
            if (cache[i] != lastText[i] || lastJson[i].empty()) {
                lastText[i] = cache[i];
                lastJson[i].clear();
                appendJsonString(lastJson[i], cache[i]);
            }
            if (rec > 1)
                pending += ',';
            pending += lastJson[i];
        }
        pending += "]}\n";
    };

    long long lineNo = 0;
    bool tooLong = false;
    while (true) {
        if (reader.wouldWait() && !write())
            return result;
        if (!reader.next(line, tooLong))
            break;
        ++lineNo;
        if (tooLong) {
            appendBatchError(pending, "line longer than 1 MiB", lineNo);
        } else if (line.find_first_not_of(" \t") == std::string::npos) {
            appendBatchError(pending, "empty line: each line holds one weld as a JSON object", lineNo);
        } else {
            try {
                const BatchWeld w = batchWeldFromJson(line);
                recalculation.evaluate(w.weld, w.level);
                appendResults();
            } catch (const std::exception& e) {
                appendBatchError(pending, e.what(), lineNo);
            }
        }
        if (pending.size() >= kBlock && !write())
            return result;
    }
    write();
    return result;
}

} // namespace veltrano::limits
