#include "record/RowLookup.h"

#include "evaluation/CatalogueFields.h"
#include "record/PlainText.h"
#include "record/Verdict.h"

#include <algorithm>
#include <charconv>

namespace veltrano::record {

namespace {

// A row number as typed: digits, perhaps after a plus sign.  A negative
// number reads as one too, though no row has it.
bool readNumber(std::string_view s, int& n)
{
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() || s.front() == '+')
        return false;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), n);
    return error == std::errc() && end == s.data() + s.size();
}

// The reference numbers of a row: "5011, 5012" holds two.
std::vector<std::string> references(std::string_view text)
{
    std::string spaced(text);
    for (char& c : spaced)
        if (c == ',' || c == ';')
            c = ' ';
    std::vector<std::string> parts;
    const std::string words = simplified(spaced);
    for (std::size_t begin = 0; begin < words.size();) {
        const std::size_t end = std::min(words.find(' ', begin), words.size());
        parts.push_back(words.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

} // namespace

std::vector<int> offeredRows(const Weld& weld, const CatalogueRows& rows)
{
    std::vector<int> offered;
    Finding probe;
    probe.value = WrittenNumber{"0", false};
    for (int r = 1; r <= rows.rowCount(); ++r) {
        probe.record = r;
        if (judgeFinding(weld, probe, rows, ",").belongs)
            offered.push_back(r);
    }
    return offered;
}

std::string rowTitle(int row, const CatalogueRows& rows)
{
    if (row < 1 || row > rows.rowCount())
        return std::to_string(row);
    const std::string reference = simplified(rows.text(row, field::kReference));
    const std::string name = simplified(rows.text(row, field::kImperfection));
    return std::to_string(row) + " \u2013 " + (reference.empty() ? name : reference + " " + name);
}

int matchRow(std::string_view typed, const std::vector<int>& offered, const CatalogueRows& rows)
{
    const std::string t(trimmed(typed));
    const std::string folded = caseFolded(t);
    int number = 0;
    const bool isNumber = readNumber(t, number);
    for (int r : offered)
        if (caseFolded(rowTitle(r, rows)) == folded || (isNumber && number == r))
            return r;
    for (int r : offered)
        for (const std::string& reference : references(rows.text(r, field::kReference)))
            if (reference == t)
                return r;
    if (t.empty())
        return 0;
    for (int r : offered)
        if (caseFolded(rows.text(r, field::kImperfection)).find(folded) != std::string::npos)
            return r;
    return 0;
}

} // namespace veltrano::record
