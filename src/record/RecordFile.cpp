#include "record/RecordFile.h"

#include "record/FileText.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace veltrano::record {

namespace fs = std::filesystem;

namespace {

std::string describeError(const std::string& file, std::size_t line, std::size_t column, const std::string& field,
                          const std::string& message)
{
    std::string s = file;
    if (line > 0)
        s += (s.empty() ? "" : ": ") + std::string("Zeile ") + std::to_string(line) + ", Spalte " +
             std::to_string(column);
    if (!field.empty())
        s += (s.empty() ? "" : ": ") + field;
    return s + (s.empty() ? "" : ": ") + message;
}

// A value from the file in a message: at most a few dozen characters, its
// control characters written out (a NUL would cut the message short).
std::string quoted(const std::string& s)
{
    return "\u00BB" + messageExcerpt(s) + "\u00AB";
}

// How a value reads in a message: a number or text as written, else its kind.
std::string shown(const JsonNode& n)
{
    switch (n.kind) {
    case JsonNode::Kind::Number:
        return messageExcerpt(n.text);
    case JsonNode::Kind::String:
        return quoted(n.text);
    case JsonNode::Kind::Boolean:
        return n.boolean ? "true" : "false";
    case JsonNode::Kind::Null:
        return "null";
    case JsonNode::Kind::Array:
        return "eine Liste";
    case JsonNode::Kind::Object:
        return "ein Objekt";
    }
    return {};
}

// ---- reading ----------------------------------------------------------------

class Reader {
public:
    explicit Reader(std::string file)
        : m_file(std::move(file))
    {
    }

    [[noreturn]] void fail(const std::string& field, const std::string& message) const
    {
        throw RecordError(m_file, 0, 0, field, message);
    }

    const JsonNode& object(const JsonNode& n, const std::string& field) const
    {
        if (n.kind != JsonNode::Kind::Object)
            fail(field, "muss ein Objekt sein, gefunden " + shown(n));
        return n;
    }

    std::string text(const JsonNode& n, const std::string& field) const
    {
        if (n.kind != JsonNode::Kind::String)
            fail(field, "muss ein Text sein, gefunden " + shown(n));
        return n.text;
    }

    bool flag(const JsonNode& n, const std::string& field) const
    {
        if (n.kind != JsonNode::Kind::Boolean)
            fail(field, "muss true oder false sein, gefunden " + shown(n));
        return n.boolean;
    }

    WrittenNumber number(const JsonNode& n, const std::string& field) const
    {
        if (n.kind == JsonNode::Kind::Number)
            return {n.text, false};
        if (n.kind == JsonNode::Kind::String)
            return {n.text, true};
        fail(field, "muss eine Zahl sein, gefunden " + shown(n));
    }

    // A whole number written as a JSON integer, or nullopt beyond [lo, hi].
    std::optional<long> integer(const JsonNode& n, const std::string& field, const std::string& what) const
    {
        if (n.kind != JsonNode::Kind::Number || n.text.find_first_not_of("-0123456789") != std::string::npos)
            fail(field, what + " muss eine ganze Zahl sein, gefunden " + shown(n));
        if (n.text.size() > 9)
            return std::nullopt;
        return std::stol(n.text);
    }

    // Calls take(key, node) for every known member and keeps the others,
    // moved out of the tree: the tree is used up as the record is built.
    template <typename Take>
    ExtraMembers members(JsonNode& n, const std::string& field, std::initializer_list<const char*> known,
                         Take take) const
    {
        object(n, field);
        ExtraMembers extra;
        for (auto& [key, value] : n.members) {
            bool isKnown = false;
            for (const char* k : known)
                isKnown = isKnown || key == k;
            if (isKnown)
                take(key, value, (field.empty() ? "" : field + ".") + key);
            else
                extra.emplace_back(std::move(key), std::move(value));
        }
        return extra;
    }

    Inspection inspection(JsonNode& n) const
    {
        Inspection h;
        const std::array<std::pair<const char*, std::optional<std::string>*>, 11> fields{{
            {"order", &h.order},
            {"component", &h.component},
            {"drawing", &h.drawing},
            {"standard", &h.standard},
            {"method", &h.method},
            {"stage", &h.stage},
            {"inspector", &h.inspector},
            {"qualification", &h.qualification},
            {"date", &h.date},
            {"place", &h.place},
            {"remarks", &h.remarks},
        }};
        h.extra = members(n, "inspection",
                          {"order", "component", "drawing", "standard", "method", "stage", "inspector", "qualification",
                           "date", "place", "remarks"},
                          [&](const std::string& key, const JsonNode& v, const std::string& path) {
                              for (const auto& [name, target] : fields)
                                  if (key == name)
                                      *target = text(v, path);
                          });
        return h;
    }

    Finding finding(JsonNode& n, const std::string& field) const
    {
        Finding f;
        bool hasRecord = false, hasValue = false;
        f.extra = members(
            n, field, {"record", "value", "length", "location", "remark", "judgement"},
            [&](const std::string& key, const JsonNode& v, const std::string& path) {
                if (key == "record") {
                    const auto r = integer(v, path, "Die Datensatznummer");
                    if (!r)
                        fail(path, "die Datensatznummer muss von 1 bis 89 reichen, gefunden " + messageExcerpt(v.text));
                    f.record = static_cast<int>(*r);
                    hasRecord = true;
                } else if (key == "value") {
                    f.value = number(v, path);
                    hasValue = true;
                } else if (key == "length") {
                    f.length = number(v, path);
                } else if (key == "location") {
                    f.location = text(v, path);
                } else if (key == "remark") {
                    f.remark = text(v, path);
                } else if (key == "judgement") {
                    const std::string j = text(v, path);
                    if (j == "accepted")
                        f.judgement = Judgement::Accepted;
                    else if (j == "rejected")
                        f.judgement = Judgement::Rejected;
                    else
                        fail(path, "unbekannte Bewertung " + quoted(j) + " (erlaubt: accepted, rejected)");
                }
            });
        if (!hasRecord)
            fail(field + ".record", "fehlt");
        if (!hasValue)
            fail(field + ".value", "fehlt");
        return f;
    }

    Weld weld(JsonNode& n, const std::string& field) const
    {
        Weld w;
        std::map<std::string, bool> seen;
        w.extra = members(n, field,
                          {"id", "seam", "level", "t", "l", "b", "bw", "welder_test", "rail_bridge", "welder",
                           "process", "location", "remarks", "findings"},
                          [&](const std::string& key, JsonNode& v, const std::string& path) {
                              seen[key] = true;
                              if (key == "id") {
                                  w.id = text(v, path);
                              } else if (key == "seam") {
                                  const std::string s = text(v, path);
                                  if (s == "butt")
                                      w.seam = SeamType::Butt;
                                  else if (s == "fillet")
                                      w.seam = SeamType::Fillet;
                                  else
                                      fail(path, "unbekannte Nahtart " + quoted(s) + " (erlaubt: butt, fillet)");
                              } else if (key == "level") {
                                  const std::string s = text(v, path);
                                  if (s == "B")
                                      w.level = QualityLevel::B;
                                  else if (s == "C")
                                      w.level = QualityLevel::C;
                                  else if (s == "D")
                                      w.level = QualityLevel::D;
                                  else
                                      fail(path, "unbekannte Bewertungsgruppe " + quoted(s) + " (erlaubt: B, C, D)");
                              } else if (key == "t") {
                                  w.t = number(v, path);
                              } else if (key == "l") {
                                  w.l = number(v, path);
                              } else if (key == "b") {
                                  w.b = number(v, path);
                              } else if (key == "bw") {
                                  w.bw = number(v, path);
                              } else if (key == "welder_test") {
                                  w.welderTest = flag(v, path);
                              } else if (key == "rail_bridge") {
                                  w.railBridge = flag(v, path);
                              } else if (key == "welder") {
                                  w.welder = text(v, path);
                              } else if (key == "process") {
                                  w.process = text(v, path);
                              } else if (key == "location") {
                                  w.location = text(v, path);
                              } else if (key == "remarks") {
                                  w.remarks = text(v, path);
                              } else if (key == "findings") {
                                  if (v.kind != JsonNode::Kind::Array)
                                      fail(path, "muss eine Liste sein, gefunden " + shown(v));
                                  w.findings.reserve(v.items.size());
                                  for (std::size_t i = 0; i < v.items.size(); ++i)
                                      w.findings.push_back(finding(v.items[i], path + "[" + std::to_string(i) + "]"));
                              }
                          });
        for (const char* required : {"id", "seam", "level", "t", "l", "b", "bw"})
            if (!seen[required])
                fail(field + "." + required, "fehlt");
        return w;
    }

    Record record(JsonNode& root) const
    {
        object(root, "");
        // Format and version first: a newer file may be built differently.
        const JsonNode* format = root.member("format");
        if (!format)
            fail("format", "fehlt; die Datei ist kein Veltrano-Prüfprotokoll");
        if (format->kind != JsonNode::Kind::String || format->text != kFormatName)
            fail("format",
                 "ist " + shown(*format) + ", kein Veltrano-Prüfprotokoll (erwartet " + quoted(kFormatName) + ")");
        const JsonNode* version = root.member("version");
        if (!version)
            fail("version", "fehlt");
        const auto v = integer(*version, "version", "Die Version");
        const std::string versionText = messageExcerpt(version->text);
        if (!v && version->text[0] == '-')
            fail("version", "unbekannte Version " + versionText);
        if (!v || *v > kFormatVersion)
            fail("version", "Version " + versionText + " ist neuer als diese Programmversion (sie liest Version " +
                                std::to_string(kFormatVersion) + "); die Datei bleibt unverändert");
        if (*v < 1)
            fail("version", "unbekannte Version " + versionText);

        Record r;
        bool hasWelds = false;
        r.extra = members(root, "", {"format", "version", "inspection", "welds"},
                          [&](const std::string& key, JsonNode& value, const std::string& path) {
                              if (key == "inspection") {
                                  r.inspection = inspection(value);
                              } else if (key == "welds") {
                                  hasWelds = true;
                                  if (value.kind != JsonNode::Kind::Array)
                                      fail(path, "muss eine Liste sein, gefunden " + shown(value));
                                  // Each weld's part of the tree is freed as soon as
                                  // the weld is built, so a large record is not held
                                  // twice over.
                                  r.welds.reserve(value.items.size());
                                  for (std::size_t i = 0; i < value.items.size(); ++i) {
                                      r.welds.push_back(weld(value.items[i], "welds[" + std::to_string(i) + "]"));
                                      value.items[i] = JsonNode();
                                  }
                                  std::vector<JsonNode>().swap(value.items);
                              }
                          });
        if (!hasWelds)
            fail("welds", "fehlt");
        return r;
    }

private:
    std::string m_file;
};

// ---- checking ---------------------------------------------------------------

bool isDigits(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// ISO 8601: a calendar date, optionally followed by "T" and a time of day.
bool isIsoDate(std::string_view s)
{
    if (s.size() < 10 || !isDigits(s.substr(0, 4)) || s[4] != '-' || !isDigits(s.substr(5, 2)) || s[7] != '-' ||
        !isDigits(s.substr(8, 2)))
        return false;
    const int year = std::stoi(std::string(s.substr(0, 4)));
    const int month = std::stoi(std::string(s.substr(5, 2)));
    const int day = std::stoi(std::string(s.substr(8, 2)));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap)
        return false;
    if (s.size() == 10)
        return true;
    // hh:mm, optional :ss and fraction, optional Z or offset
    std::string_view time = s.substr(10);
    if (time.size() < 6 || time[0] != 'T' || !isDigits(time.substr(1, 2)) || time[3] != ':' ||
        !isDigits(time.substr(4, 2)))
        return false;
    if (std::stoi(std::string(time.substr(1, 2))) > 23 || std::stoi(std::string(time.substr(4, 2))) > 59)
        return false;
    time.remove_prefix(6);
    if (time.size() >= 3 && time[0] == ':' && isDigits(time.substr(1, 2))) {
        if (std::stoi(std::string(time.substr(1, 2))) > 60)
            return false;
        time.remove_prefix(3);
        if (!time.empty() && (time[0] == '.' || time[0] == ',')) {
            std::size_t n = 1;
            while (n < time.size() && time[n] >= '0' && time[n] <= '9')
                ++n;
            if (n == 1)
                return false;
            time.remove_prefix(n);
        }
    }
    if (time.empty() || time == "Z")
        return true;
    return time.size() == 6 && (time[0] == '+' || time[0] == '-') && isDigits(time.substr(1, 2)) && time[3] == ':' &&
           isDigits(time.substr(4, 2));
}

std::string rangeText(const DimensionRange& r)
{
    return ExactNumber::fromDecimal(r.minimumDecimal()).text(",") + " bis " +
           ExactNumber::fromDecimal(r.maximumDecimal()).text(",") + " mm";
}

std::string writtenShown(const WrittenNumber& n)
{
    return n.quoted ? quoted(n.text) : messageExcerpt(n.text);
}

// A number whose exponent is too large to be written out is named so.
void checkExponent(const WrittenNumber& n, const std::string& field, const std::string& file, const char* what)
{
    bool tooLarge = false;
    if (!ExactNumber::parse(n.text, !n.quoted, &tooLarge) && tooLarge)
        throw RecordError(file, 0, 0, field,
                          std::string(what) + " " + writtenShown(n) +
                              " l\u00E4sst sich nicht lesen: Exponent zu gro\u00DF" + " (h\u00F6chstens " +
                              std::to_string(ExactNumber::kMaxExponent) + ")");
}

void checkDimension(const WrittenNumber& n, const DimensionRange& r, const std::string& field, const std::string& file)
{
    const auto v = n.value();
    const bool ok = v && v->decimals() <= 2 && compare(*v, ExactNumber::fromDecimal(r.minimumDecimal())) >= 0 &&
                    compare(*v, ExactNumber::fromDecimal(r.maximumDecimal())) <= 0;
    if (!ok)
        throw RecordError(file, 0, 0, field,
                          "muss eine Zahl von " + rangeText(r) +
                              " mit höchstens zwei Nachkommastellen sein, gefunden " + writtenShown(n));
}

void checkMeasure(const WrittenNumber& n, const std::string& field, const std::string& file, const char* what)
{
    checkExponent(n, field, file, what);
    const auto v = n.value();
    if (!v || v->isNegative())
        throw RecordError(file, 0, 0, field,
                          std::string(what) + " muss eine Zahl ab 0 sein, gefunden " + writtenShown(n));
}

// ---- writing ----------------------------------------------------------------

JsonNode numberNode(const WrittenNumber& n)
{
    return n.quoted ? JsonNode::string(n.text) : JsonNode::number(n.text);
}

void addText(JsonNode& object, const char* key, const std::optional<std::string>& value)
{
    if (value)
        object.add(key, JsonNode::string(*value));
}

void addExtra(JsonNode& object, const ExtraMembers& extra)
{
    for (const auto& [key, value] : extra)
        object.add(key, value);
}

const char* judgementName(Judgement j)
{
    return j == Judgement::Accepted ? "accepted" : "rejected";
}

JsonNode toJson(const Record& r)
{
    JsonNode root = JsonNode::object();
    root.add("format", JsonNode::string(kFormatName));
    root.add("version", JsonNode::number(std::to_string(kFormatVersion)));
    JsonNode h = JsonNode::object();
    const Inspection& i = r.inspection;
    addText(h, "order", i.order);
    addText(h, "component", i.component);
    addText(h, "drawing", i.drawing);
    addText(h, "standard", i.standard);
    addText(h, "method", i.method);
    addText(h, "stage", i.stage);
    addText(h, "inspector", i.inspector);
    addText(h, "qualification", i.qualification);
    addText(h, "date", i.date);
    addText(h, "place", i.place);
    addText(h, "remarks", i.remarks);
    addExtra(h, i.extra);
    root.add("inspection", std::move(h));
    JsonNode welds = JsonNode::array();
    for (const Weld& w : r.welds) {
        JsonNode o = JsonNode::object();
        o.add("id", JsonNode::string(w.id));
        o.add("seam", JsonNode::string(w.seam == SeamType::Fillet ? "fillet" : "butt"));
        o.add("level", JsonNode::string(w.level == QualityLevel::B ? "B" : w.level == QualityLevel::C ? "C" : "D"));
        o.add("t", numberNode(w.t));
        o.add("l", numberNode(w.l));
        o.add("b", numberNode(w.b));
        o.add("bw", numberNode(w.bw));
        if (w.welderTest)
            o.add("welder_test", JsonNode::flag(*w.welderTest));
        if (w.railBridge)
            o.add("rail_bridge", JsonNode::flag(*w.railBridge));
        addText(o, "welder", w.welder);
        addText(o, "process", w.process);
        addText(o, "location", w.location);
        addText(o, "remarks", w.remarks);
        JsonNode findings = JsonNode::array();
        for (const Finding& f : w.findings) {
            JsonNode fo = JsonNode::object();
            fo.add("record", JsonNode::number(std::to_string(f.record)));
            fo.add("value", numberNode(f.value));
            if (f.length)
                fo.add("length", numberNode(*f.length));
            addText(fo, "location", f.location);
            addText(fo, "remark", f.remark);
            if (f.judgement != Judgement::None)
                fo.add("judgement", JsonNode::string(judgementName(f.judgement)));
            addExtra(fo, f.extra);
            findings.items.push_back(std::move(fo));
        }
        o.add("findings", std::move(findings));
        addExtra(o, w.extra);
        welds.items.push_back(std::move(o));
    }
    root.add("welds", std::move(welds));
    addExtra(root, r.extra);
    return root;
}

} // namespace

RecordError::RecordError(std::string file, std::size_t line, std::size_t column, std::string field, std::string message)
    : std::runtime_error(describeError(file, line, column, field, message))
    , m_file(std::move(file))
    , m_line(line)
    , m_column(column)
    , m_field(std::move(field))
    , m_message(std::move(message))
{
}

void validateRecord(const Record& record, const std::string& fileName)
{
    if (record.inspection.date && !isIsoDate(*record.inspection.date))
        throw RecordError(fileName, 0, 0, "inspection.date",
                          "muss ein Datum nach ISO 8601 sein (JJJJ-MM-TT), gefunden " +
                              quoted(*record.inspection.date));
    std::map<std::string, std::size_t> ids;
    for (std::size_t i = 0; i < record.welds.size(); ++i) {
        const Weld& w = record.welds[i];
        const std::string field = "welds[" + std::to_string(i) + "]";
        if (w.id.empty())
            throw RecordError(fileName, 0, 0, field + ".id", "die Kennung der Naht ist leer");
        if (const auto [it, added] = ids.emplace(w.id, i); !added)
            throw RecordError(fileName, 0, 0, field + ".id",
                              "die Kennung " + quoted(w.id) + " hat schon welds[" + std::to_string(it->second) + "]");
        checkDimension(w.t, kRangeT, field + ".t", fileName);
        checkDimension(w.l, kRangeL, field + ".l", fileName);
        checkDimension(w.b, kRangeB, field + ".b", fileName);
        checkDimension(w.bw, kRangeBw, field + ".bw", fileName);
        for (std::size_t k = 0; k < w.findings.size(); ++k) {
            const Finding& f = w.findings[k];
            const std::string ff = field + ".findings[" + std::to_string(k) + "]";
            if (f.record < 1 || f.record > 89)
                throw RecordError(fileName, 0, 0, ff + ".record",
                                  "die Datensatznummer muss von 1 bis 89 reichen, gefunden " +
                                      std::to_string(f.record));
            checkMeasure(f.value, ff + ".value", fileName, "Der Messwert");
            if (f.length)
                checkMeasure(*f.length, ff + ".length", fileName, "Die Länge");
        }
    }
}

namespace {

JsonNode parseTree(std::string_view text, const std::string& fileName)
{
    try {
        return parseJson(text);
    } catch (const JsonSyntaxError& e) {
        throw RecordError(fileName, e.line(), e.column(), e.field(), e.what());
    }
}

// Builds the record from the tree, using the tree up on the way.
Record recordFrom(JsonNode& root, const std::string& fileName)
{
    Record r = Reader(fileName).record(root);
    root = JsonNode();
    validateRecord(r, fileName);
    return r;
}

template <typename Read>
Record readGuarded(const std::string& fileName, Read read)
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        // A huge record is an error like any other, never the program's end.
        throw RecordError(fileName, 0, 0, "", "lässt sich nicht lesen: nicht genug Arbeitsspeicher");
    } catch (const std::length_error&) {
        throw RecordError(fileName, 0, 0, "", "lässt sich nicht lesen: nicht genug Arbeitsspeicher");
    }
}

} // namespace

Record parseRecord(std::string_view text, const std::string& fileName)
{
    return readGuarded(fileName, [&] {
        JsonNode root = parseTree(text, fileName);
        return recordFrom(root, fileName);
    });
}

Record loadRecord(const fs::path& file)
{
    // A regular file of at most kMaxRecordBytes, else a message (FileText.h).
    std::string text = readRecordText(file);
    const std::string fileName = file.string();
    return readGuarded(fileName, [&] {
        JsonNode root = parseTree(text, fileName);
        // The tree holds all the file says; its bytes go before the record
        // is built, so the file, its tree and its record are never all in
        // memory at once.
        std::string().swap(text);
        return recordFrom(root, fileName);
    });
}

std::string serializeRecord(const Record& record)
{
    try {
        return writeJson(toJson(record));
    } catch (const std::invalid_argument& e) {
        throw RecordError({}, 0, 0, "", e.what());
    }
}

} // namespace veltrano::record
