#include "report/ReportParameters.h"

#include "evaluation/FormatFixed.h"
#include "evaluation/LimitText.h"
#include "evaluation/WeldWords.h"

namespace veltrano::report {

namespace {

constexpr int kNA = 0;       // "nicht zutreffend"
constexpr int kCracks = -1;  // IW25: the fixed micro-crack text, or record 37 at level D
constexpr int kSpatter = -2; // IW23: record 35, cut to 39 characters

constexpr int kSpatterRecord = 35;
constexpr int kSpatterChars = 39;
constexpr int kMicroCrackRecord = 37;

const QString kMicroCrackText = QStringLiteral("abhängig von Grundwerkstoff und Rißanfälligkeit");

// Columns: butt t <= 3, butt t > 3, fillet t <= 3, fillet t > 3.
constexpr int kMapping[kResultLines][4] = {
    {1, 1, 1, 1},                             // IW1
    {2, 2, 2, 2},                             // IW2
    {5, 6, 3, 4},                             // IW3
    {7, 8, 7, 8},                             // IW4
    {9, 9, 9, 9},                             // IW5
    {10, 10, 10, 10},                         // IW6
    {11, 11, kNA, kNA},                       // IW7
    {12, 13, 12, 13},                         // IW8
    {14, 15, 14, 15},                         // IW9
    {16, 16, 17, 17},                         // IW10
    {18, 19, 18, 19},                         // IW11
    {20, 20, 21, 21},                         // IW12
    {22, 22, 22, 22},                         // IW13
    {23, 24, 23, 24},                         // IW14
    {25, 25, 25, 25},                         // IW15
    {kNA, kNA, 26, 26},                       // IW16
    {27, 28, 27, 28},                         // IW17
    {29, 29, 29, 29},                         // IW18
    {30, 30, 30, 30},                         // IW19
    {kNA, kNA, 31, 32},                       // IW20
    {kNA, kNA, 33, 33},                       // IW21
    {34, 34, 34, 34},                         // IW22
    {kSpatter, kSpatter, kSpatter, kSpatter}, // IW23
    {36, 36, 36, 36},                         // IW24
    {kCracks, kCracks, kCracks, kCracks},     // IW25
    {38, 38, 38, 38},                         // IW26
    {39, 39, 39, 39},                         // IW27
    {40, 40, 40, 40},                         // IW28
    {41, 41, 42, 42},                         // IW29
    {43, 43, 43, 43},                         // IW30
    {44, 44, 45, 45},                         // IW31
    {46, 46, 46, 46},                         // IW32
    {47, 47, 47, 47},                         // IW33
    {48, 48, 48, 48},                         // IW34
    {49, 49, 50, 50},                         // IW35
    {51, 51, 52, 52},                         // IW36
    {53, 53, 54, 54},                         // IW37
    {55, 56, 55, 56},                         // IW38
    {57, 57, 58, 58},                         // IW39
    {59, 59, 60, 60},                         // IW40
    {61, 61, 62, 62},                         // IW41
    {63, 63, 64, 64},                         // IW42
    {65, 65, 66, 66},                         // IW43
    {67, 67, 67, 67},                         // IW44
    {68, 68, 69, 69},                         // IW45
    {70, 70, 71, 71},                         // IW46
    {72, 72, 73, 73},                         // IW47
    {74, 74, 75, 75},                         // IW48
    {kNA, kNA, 76, 76},                       // IW49
    {78, 78, 77, 77},                         // IW50
    // The butt weld's "durchgeschweißt" line shows its own row 79 (row 76 is
    // the fillet weld's, which every butt weld reads as not applicable).
    {79, 79, kNA, kNA}, // IW51
    {80, 81, 80, 81},   // IW52
    {82, 82, 82, 82},   // IW53
    {83, 83, kNA, kNA}, // IW54
    {84, 85, 84, 85},   // IW55
    {86, 87, 88, 88},   // IW56
    {89, 89, 89, 89},   // IW57
};

constexpr int kLevelIndexD = 2;

} // namespace

void ReportParameters::set(const QString& name, const QString& text)
{
    m_values.insert(name.toCaseFolded(), text);
}

QString ReportParameters::value(const QString& name) const
{
    return m_values.value(name.toCaseFolded());
}

bool ReportParameters::contains(const QString& name) const
{
    return m_values.contains(name.toCaseFolded());
}

ResultSource resultSource(int n, bool buttWeld, bool thick, int levelIndex)
{
    if (n < 1 || n > kResultLines)
        return QString();
    const int cell = kMapping[n - 1][(buttWeld ? 0 : 2) + (thick ? 1 : 0)];
    switch (cell) {
    case kNA:
        return QString::fromUtf8(kNotApplicable.data(), static_cast<qsizetype>(kNotApplicable.size()));
    case kSpatter:
        return CachedRecord{kSpatterRecord, kSpatterChars};
    case kCracks:
        // At level D the catalogue permits micro-cracks outright; the other
        // levels leave it to the base material, as the fixed text says.
        if (levelIndex == kLevelIndexD)
            return CachedRecord{kMicroCrackRecord, -1};
        return kMicroCrackText;
    default:
        return CachedRecord{cell, -1};
    }
}

QString firstCharacters(const std::string& utf8, int maxChars)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (maxChars < 0)
        return text;
    qsizetype pos = 0;
    for (int count = 0; count < maxChars && pos < text.size(); ++count) {
        const bool pair = text.at(pos).isHighSurrogate() && pos + 1 < text.size() && text.at(pos + 1).isLowSurrogate();
        pos += pair ? 2 : 1;
    }
    return text.left(pos);
}

ReportParameters buildReportParameters(const ReportInputs& inputs,
                                       const std::array<std::string, EvaluationState::kCacheSize>& aResult)
{
    const bool butt = inputs.seamIndex == static_cast<int>(SeamType::Butt);
    const bool thick = inputs.t > 3.0f;

    ReportParameters p;
    p.set(QStringLiteral("Titel1"), inputs.seamText);
    p.set(QStringLiteral("Titel2"), inputs.levelText);
    p.set(QStringLiteral("MD"), inputs.md);
    p.set(QStringLiteral("NL"), inputs.nl);
    p.set(QStringLiteral("NB"), inputs.nb);
    p.set(QStringLiteral("WB"), inputs.wb);

    for (int n = 1; n <= kResultLines; ++n) {
        const ResultSource source = resultSource(n, butt, thick, inputs.levelIndex);
        QString text;
        if (const auto* record = std::get_if<CachedRecord>(&source)) {
            if (EvaluationState::inCache(record->recNo))
                text = firstCharacters(aResult[static_cast<std::size_t>(record->recNo)], record->maxChars);
        } else {
            text = std::get<QString>(source);
        }
        p.set(QStringLiteral("IW%1").arg(n), text);
    }
    return p;
}

ReportInputs reportInputsFor(const WeldInput& weld, int levelCode, const std::string& decimalSeparator)
{
    const auto display = [&](float v) { return QString::fromStdString(FormatFixed(v, 15, 2, decimalSeparator)); };

    ReportInputs in;
    if (weld.isButtWeld())
        in.seamText = QString::fromUtf8(seamWord(SeamType::Butt));
    else if (weld.isFilletWeld())
        in.seamText = QString::fromUtf8(seamWord(SeamType::Fillet));
    if (levelCode >= static_cast<int>(QualityLevel::B) && levelCode <= static_cast<int>(QualityLevel::D))
        in.levelText = QString::fromUtf8(levelWord(static_cast<QualityLevel>(levelCode)));
    in.levelIndex = levelCode - 1;
    in.md = display(weld.t);
    in.nl = display(weld.l);
    in.nb = display(weld.b);
    in.wb = display(weld.bw);
    in.seamIndex = weld.seamType;
    in.t = weld.t;
    return in;
}

} // namespace veltrano::report
