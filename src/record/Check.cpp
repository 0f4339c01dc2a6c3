#include "record/Check.h"

#include "evaluation/CatalogueFields.h"
#include "evaluation/LimitText.h"
#include "evaluation/WeldWords.h"
#include "record/PlainText.h"
#include "record/RecordFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace veltrano::record {
namespace {

std::string flat(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    return s;
}

std::string dimensionText(const WrittenNumber& n, std::string_view sep)
{
    const auto v = n.value();
    return (v ? v->text(sep) : n.text) + " mm";
}

std::string weldLine(const Weld& w, std::string_view sep)
{
    std::string s = "Naht " + flat(w.id) + " (" + seamWord(w.seam) + ", Bewertungsgruppe " + levelLetter(w.level) +
                    ", t = " + dimensionText(w.t, sep) + ", l = " + dimensionText(w.l, sep) +
                    ", b = " + dimensionText(w.b, sep) + ", bw = " + dimensionText(w.bw, sep);
    if (w.welderTest.value_or(false))
        s += ", Schweißerprüfung";
    if (w.railBridge.value_or(false))
        s += ", Eisenbahnbrücke";
    return s + ")";
}

// A text as a JSON string, escaped as nlohmann's compact dump escapes it.
// Every text has passed the UTF-8 check of the loader or comes from the
// catalogue; a broken byte is replaced rather than losing the verdict.
void writeJsonText(std::ostream& out, std::string_view text)
{
    out << nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

int exitStatus(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return kCheckAccepted;
    case Verdict::Rejected:
        return kCheckRejected;
    case Verdict::Open:
        break;
    }
    return kCheckOpen;
}

void writeCheckTable(std::ostream& out, const std::string& fileName, const Record& record, const RecordVerdict& verdict,
                     const CatalogueRows& rows, std::string_view sep)
{
    out << "Pr\u00FCfprotokoll " << fileName << '\n';
    const Inspection& h = record.inspection;
    const std::array<std::pair<const char*, const std::optional<std::string>*>, 10> header{{
        {"Auftrag", &h.order},
        {"Bauteil", &h.component},
        {"Zeichnung", &h.drawing},
        {"Verfahren", &h.method},
        {"Prüfstufe", &h.stage},
        {"Prüfer", &h.inspector},
        {"Qualifikation", &h.qualification},
        {"Datum", &h.date},
        {"Ort", &h.place},
        {"Bemerkungen", &h.remarks},
    }};
    out << "Norm: " << flat(h.standardOrDefault()) << '\n';
    for (const auto& [label, value] : header)
        if (*value)
            out << label << ": " << flat(**value) << '\n';

    for (std::size_t i = 0; i < record.welds.size(); ++i) {
        const Weld& weld = record.welds[i];
        const WeldVerdict& wv = verdict.welds[i];
        out << '\n' << weldLine(weld, sep) << '\n';
        if (!weld.findings.empty()) {
            using Line = std::array<std::string, 7>;
            std::vector<Line> lines;
            lines.push_back({"Nr", "Ordnungsnr.", "Unregelm\u00E4\u00DFigkeit", "Messwert", "Grenzwert", "Ergebnis",
                             "Begr\u00FCndung"});
            for (std::size_t k = 0; k < weld.findings.size(); ++k) {
                const Finding& f = weld.findings[k];
                const FindingVerdict& fv = wv.findings[k];
                const bool known = f.record >= 1 && f.record <= rows.rowCount();
                const auto value = f.value.value();
                lines.push_back({std::to_string(f.record),
                                 known ? flat(rows.text(f.record, field::kReference)) : std::string(),
                                 known ? flat(rows.text(f.record, field::kImperfection)) : std::string(),
                                 value ? quantityText(*value, fv.unit, sep) : f.value.text,
                                 fv.limit     ? quantityText(*fv.limit, fv.unit, sep)
                                 : fv.belongs ? fv.limitText
                                              : std::string(kNotApplicable),
                                 verdictWord(fv.verdict), fv.reason});
            }
            std::array<std::size_t, 7> width{};
            for (const Line& l : lines)
                for (std::size_t c = 0; c < l.size(); ++c)
                    width[c] = std::max(width[c], displayColumns(l[c]));
            for (const Line& l : lines) {
                out << "  " << std::string(width[0] - displayColumns(l[0]), ' ') << l[0];
                for (std::size_t c = 1; c + 1 < l.size(); ++c)
                    out << "  " << l[c] << std::string(width[c] - displayColumns(l[c]), ' ');
                out << "  " << l.back() << '\n';
            }
        }
        out << "Naht " << flat(weld.id) << ": " << verdictWord(wv.verdict) << " (" << wv.reason << ")\n";
    }
    out << "\nProtokoll: " << verdictWord(verdict.verdict) << " (" << verdict.reason << ")\n";
}

void writeCheckJson(std::ostream& out, const Record& record, const RecordVerdict& verdict)
{
    // Written member by member straight to out, a weld at a time: a record
    // of a hundred thousand findings never has its whole listing in memory
    // a second time.  The bytes are those of a compact JSON dump.
    out << "{\"verdict\":";
    writeJsonText(out, verdictKey(verdict.verdict));
    out << ",\"reason\":";
    writeJsonText(out, verdict.reason);
    out << ",\"welds\":[";
    for (std::size_t i = 0; i < record.welds.size(); ++i) {
        const Weld& weld = record.welds[i];
        const WeldVerdict& wv = verdict.welds[i];
        out << (i ? ",{\"id\":" : "{\"id\":");
        writeJsonText(out, weld.id);
        out << ",\"verdict\":";
        writeJsonText(out, verdictKey(wv.verdict));
        out << ",\"reason\":";
        writeJsonText(out, wv.reason);
        out << ",\"findings\":[";
        for (std::size_t k = 0; k < weld.findings.size(); ++k) {
            const FindingVerdict& fv = wv.findings[k];
            out << (k ? ",{\"record\":" : "{\"record\":") << std::to_string(fv.record) << ",\"verdict\":";
            writeJsonText(out, verdictKey(fv.verdict));
            if (const auto value = weld.findings[k].value.value()) {
                out << ",\"value\":";
                writeJsonText(out, value->text("."));
            }
            if (fv.limit) {
                out << ",\"limit\":";
                writeJsonText(out, fv.limit->text("."));
                out << ",\"unit\":";
                writeJsonText(out, fv.unit);
                out << ",\"bound\":" << (fv.bound == Bound::Min ? "\"min\"" : "\"max\"");
            }
            out << ",\"reason\":";
            writeJsonText(out, fv.reason);
            out << '}';
        }
        out << "]}";
    }
    out << "]}\n";
}

int writeCheck(std::ostream& out, const std::string& fileName, const Record& record, const RecordVerdict& verdict,
               const CatalogueRows& rows, const CheckOptions& options)
{
    if (options.format == CheckOptions::Format::Json)
        writeCheckJson(out, record, verdict);
    else
        writeCheckTable(out, fileName, record, verdict, rows, options.decimalSeparator);
    return exitStatus(verdict.verdict);
}

int checkRecordFile(const std::filesystem::path& file, const CatalogueRows& rows, const CheckOptions& options,
                    std::ostream& out, std::ostream& err)
{
    Record record;
    try {
        record = loadRecord(file);
    } catch (const RecordError& e) {
        err << e.what() << '\n';
        return kCheckUnreadable;
    }
    return writeCheck(out, file.string(), record, judgeRecord(record, rows, options.decimalSeparator), rows, options);
}

} // namespace veltrano::record
