#include "recordprint/RecordPrintOverview.h"

#include "evaluation/WeldWords.h"

#include <array>

namespace veltrano::recordprint::detail {

namespace {

// Small but legible: 7 pt, one weld a line with 0.2 mm above and below, a
// thin rule after every fifth weld to guide the eye along the line.  About
// 60 welds fit on the first page and 75 on each further one.
constexpr std::array<const char*, 7> kTitles{"Naht",      "Nahtart", "Gruppe",  "Maße in mm",
                                             "Schweißer", "Befunde", "Ergebnis"};
constexpr std::array<double, 7> kWidths{24.0, 18.0, 12.0, 46.0, 30.0, 20.0, 25.0};
constexpr int kRuleEvery = 5;
constexpr double kRowPad = 0.2;

QString dimensions(const record::Weld& w)
{
    return QStringLiteral("%1 %2, l %3, b %4, bw %5")
        .arg(w.seam == SeamType::Fillet ? QStringLiteral("a") : QStringLiteral("t"), number(w.t), number(w.l),
             number(w.b), number(w.bw));
}

QString findingCount(const record::Weld& w, const record::WeldVerdict& v)
{
    int open = 0;
    for (const record::FindingVerdict& f : v.findings)
        open += f.verdict == record::Verdict::Open ? 1 : 0;
    const QString count = QString::number(w.findings.size());
    return open == 0 ? count : QStringLiteral("%1 (%2 offen)").arg(count).arg(open);
}

void heading(Flow& flow, bool continued)
{
    const Measure& m = flow.measure();
    const QString title = QStringLiteral("Übersicht der Nähte");
    flow.text(kLeft, continued ? title + QStringLiteral(" (Fortsetzung)") : title, kHeading);
    flow.advance(m.lineHeight(kHeading) + 0.5);
    std::array<Cell, 7> cells;
    for (std::size_t c = 0; c < cells.size(); ++c)
        cells[c] = {m.lines(QString::fromUtf8(kTitles[c]), kSmallBold, kWidths[c] - 2 * kCellPad), kSmallBold, {}};
    flow.rule(kLeft, flow.y(), kRight, flow.y(), 0.3);
    flow.row(cells, kWidths, flow.rowHeight(cells, 0.5), 0.5);
}

} // namespace

QString qs(const std::string& s)
{
    return QString::fromStdString(s).simplified();
}

QString seamName(SeamType s)
{
    return QString::fromUtf8(seamWord(s));
}

QString levelName(QualityLevel l)
{
    return QString::fromUtf8(levelLetter(l));
}

QString number(const record::WrittenNumber& n)
{
    const auto v = n.value();
    return v ? QString::fromStdString(v->text(",")) : QString::fromStdString(n.text);
}

QString verdictText(record::Verdict v)
{
    return QString::fromUtf8(record::verdictWord(v));
}

int openFindings(const record::RecordVerdict& verdict)
{
    int open = 0;
    for (const record::WeldVerdict& w : verdict.welds)
        for (const record::FindingVerdict& f : w.findings)
            open += f.verdict == record::Verdict::Open ? 1 : 0;
    return open;
}

void overviewTable(Flow& flow, const record::Record& record, const record::RecordVerdict& verdict)
{
    const Measure& m = flow.measure();
    const auto width = [](std::size_t c) { return kWidths[c] - 2 * kCellPad; };
    const double headingHeight = m.lineHeight(kHeading) + 0.5 + 2 * m.lineHeight(kSmallBold) + 1.0;
    flow.keep(headingHeight + 3 * m.lineHeight(kSmall));
    heading(flow, false);
    flow.setContinuation([](Flow& f) { heading(f, true); });
    for (std::size_t i = 0; i < record.welds.size(); ++i) {
        const record::Weld& w = record.welds[i];
        const record::WeldVerdict v = i < verdict.welds.size() ? verdict.welds[i] : record::WeldVerdict{};
        const bool notAccepted = v.verdict != record::Verdict::Accepted;
        const std::array<Cell, 7> cells{{
            {m.lines(qs(w.id), kSmall, width(0)), kSmall, {}},
            {m.lines(seamName(w.seam), kSmall, width(1)), kSmall, {}},
            {m.lines(levelName(w.level), kSmall, width(2)), kSmall, {}},
            {m.lines(dimensions(w), kSmall, width(3)), kSmall, {}},
            {m.lines(w.welder ? qs(*w.welder) : QString(), kSmall, width(4)), kSmall, {}},
            {m.lines(findingCount(w, v), kSmall, width(5)), kSmall, {}},
            {m.lines(verdictText(v.verdict), notAccepted ? kSmallBold : kSmall, width(6)),
             notAccepted ? kSmallBold : kSmall,
             {}},
        }};
        const double height = flow.rowHeight(cells, kRowPad);
        flow.keep(height);
        const bool last = i + 1 == record.welds.size();
        flow.row(cells, kWidths, height, kRowPad, last || (i + 1) % kRuleEvery == 0);
    }
    flow.setContinuation({});
    flow.advance(6.0);
}

} // namespace veltrano::recordprint::detail
