#pragma once
// The named texts that the evaluation report prints, and how the weld
// description and the result cache become those texts.
//
// The report computes nothing itself: every variable text on its pages is one
// of these parameters.  The header carries the weld inputs exactly as their
// fields display them; IW1 to IW57 carry cached results (or fixed texts),
// chosen by the seam type and by the thickness.

#include "evaluation/Driver.h"

#include <QHash>
#include <QString>

#include <array>
#include <string>
#include <variant>

namespace veltrano::report {

// Name/text pairs, names matched without regard to letter case ("iW19" is
// IW19).  Setting a name again replaces its text; a name never set reads as
// the empty text.
class ReportParameters {
public:
    void set(const QString& name, const QString& text);
    QString value(const QString& name) const;
    bool contains(const QString& name) const;
    int size() const { return static_cast<int>(m_values.size()); }

private:
    QHash<QString, QString> m_values; // keyed by the case-folded name
};

// The weld inputs as the window shows them when the report is asked for.
struct ReportInputs {
    QString seamText;   // seam-type selector's displayed text (Titel1)
    QString levelText;  // quality-level selector's displayed text (Titel2)
    QString md;         // thickness field as displayed ("10,00")
    QString nl;         // seam length
    QString nb;         // seam width
    QString wb;         // root width, also for a fillet weld
    int seamIndex = 0;  // item index of the seam-type selector; 0 = butt weld
    int levelIndex = 0; // item index of the quality-level selector; 2 = D
    float t = 10.0f;    // the thickness as a 32-bit float
};

// Where one result line takes its text from.
struct CachedRecord {
    int recNo = 0;
    int maxChars = -1; // > 0: only the first maxChars characters are printed
};
using ResultSource = std::variant<CachedRecord, QString>;

inline constexpr int kResultLines = 57;

// The source of IWn (1 <= n <= 57) for a butt weld (otherwise the fillet-weld
// column) of a thickness above 3 mm (otherwise the t <= 3 column), at the
// quality level with the given selector index.
ResultSource resultSource(int n, bool buttWeld, bool thick, int levelIndex);

// The first maxChars characters of a UTF-8 text, counted as characters (code
// points), not bytes; the whole text when it is shorter.
QString firstCharacters(const std::string& utf8, int maxChars);

// All 63 parameters for one report run: Titel1, Titel2, MD, NL, NB, WB, then
// IW1 to IW57.  A record that has not been evaluated prints as the empty text.
ReportParameters buildReportParameters(const ReportInputs& inputs,
                                       const std::array<std::string, EvaluationState::kCacheSize>& aResult);

// The report may be shown once record 1 has a cached result.
inline bool reportDataAvailable(const std::array<std::string, EvaluationState::kCacheSize>& aResult)
{
    return !aResult[1].empty();
}

// The header texts for a weld given without a window (the command-line tool):
// the selectors' item texts and the dimensions as the spin fields display them
// (two decimals with the given separator).  A seam index other than 0 or 1 and
// a level outside B..D read as the empty text, as an unselected box shows.
ReportInputs reportInputsFor(const WeldInput& weld, int levelCode, const std::string& decimalSeparator);

} // namespace veltrano::report
