#include "recordprint/RecordPrintLayout.h"

#include "evaluation/CatalogueFields.h"
#include "evaluation/LimitText.h"
#include "recordprint/RecordPrintFlow.h"
#include "recordprint/RecordPrintOverview.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QRegularExpression>

#include <algorithm>
#include <array>

#ifndef VELTRANO_VERSION
#define VELTRANO_VERSION "0"
#endif

namespace veltrano::recordprint {

namespace {

using record::Finding;
using record::FindingVerdict;
using record::Weld;
using record::WeldVerdict;

using namespace detail;

// An ISO date of the file as a German reader writes it: 10.12.2026, with the
// time of day when the file gives one.
QString dateText(const std::optional<std::string>& iso)
{
    if (!iso)
        return {};
    const QString s = QString::fromStdString(*iso);
    if (const QDate d = QDate::fromString(s, Qt::ISODate); d.isValid())
        return d.toString(QStringLiteral("dd.MM.yyyy"));
    if (const QDateTime t = QDateTime::fromString(s, Qt::ISODate); t.isValid())
        return t.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    return s;
}

QString optionalText(const std::optional<std::string>& s)
{
    return s ? qs(*s) : QString();
}

// A visual inspection names itself by its usual short name "VT" (" vt 2 ",
// "VT (ISO 17637)") or by its German name.
bool isVisualInspection(const std::optional<std::string>& method)
{
    if (!method)
        return false;
    const QString m = qs(*method);
    static const QRegularExpression firstWord(QStringLiteral("^\\W*(\\w+)"));
    const auto word = firstWord.match(m);
    return (word.hasMatch() && word.captured(1).compare(QLatin1String("VT"), Qt::CaseInsensitive) == 0) ||
           m.contains(QStringLiteral("Sichtprüf"), Qt::CaseInsensitive);
}

// "vorläufig – 2 Befunde offen": a record with findings that await the
// inspector is not finished, whatever its verdict says so far.
QString provisionalText(int open)
{
    return open == 1 ? QStringLiteral("vorläufig \u2013 1 Befund offen")
                     : QStringLiteral("vorläufig \u2013 %1 Befunde offen").arg(open);
}

// The findings table: catalogue row, reference number, imperfection,
// location, measured value, exact limit and the verdict with its reason.
constexpr std::array<const char*, 7> kTitles{"Nr.",      "Ordnungsnr.", "Unregelmäßigkeit", "Ort",
                                             "Messwert", "Grenzwert",   "Ergebnis"};
constexpr std::array<double, 7> kWidths{8.0, 20.0, 41.0, 30.0, 18.0, 20.0, 38.0};

class RecordLayouter {
public:
    RecordLayouter(const record::Record& r, const record::RecordVerdict& v, const record::CatalogueRows& rows,
                   const RecordPrintInfo& info)
        : m_record(r)
        , m_verdict(v)
        , m_rows(rows)
        , m_info(info)
        , m_flow(m_measure)
        , m_openFindings(openFindings(v))
    {
        // Following pages begin below the running header with the record's
        // verdict, and under it the provisional mark where findings are open.
        m_flow.setContentTop(kTop + 8.0 + (m_openFindings > 0 ? m_measure.lineHeight(kFooter) : 0.0));
    }

    std::vector<PrintPage> run()
    {
        titleBlock();
        headerBlock();
        if (m_record.welds.size() > 1)
            overviewTable(m_flow, m_record, m_verdict);
        for (std::size_t i = 0; i < m_record.welds.size(); ++i)
            weldBlock(m_record.welds[i], i < m_verdict.welds.size() ? m_verdict.welds[i] : WeldVerdict{});
        signatureBlock();
        std::vector<PrintPage> pages = std::move(m_flow.pages());
        finishPages(pages);
        return pages;
    }

private:
    void titleBlock()
    {
        // A visual inspection says so; any other method is named under the
        // title, and a record without one says that it names none.
        const record::Inspection& h = m_record.inspection;
        const QString standard = qs(h.standardOrDefault());
        if (isVisualInspection(h.method)) {
            m_flow.paragraph(kLeft, kWidth, kRecordPrintTitle, kTitle);
            m_flow.paragraph(kLeft, kWidth, QStringLiteral("Sichtprüfung von Schweißnähten nach %1").arg(standard),
                             kSubtitle);
        } else {
            m_flow.paragraph(kLeft, kWidth, QStringLiteral("%1 nach %2").arg(kRecordPrintTitle, standard), kTitle);
            const QString method =
                h.method && !qs(*h.method).isEmpty() ? qs(*h.method) : QStringLiteral("nicht angegeben");
            m_flow.paragraph(kLeft, kWidth, QStringLiteral("Prüfverfahren: %1").arg(method), kSubtitle);
        }
        m_flow.advance(3.0);

        // The verdict of the whole record stands first: it is what the
        // reader of the sheet looks for.
        m_flow.rule(kLeft, m_flow.y(), kRight, m_flow.y(), 0.4);
        m_flow.advance(1.5);
        m_flow.text(kLeft, QStringLiteral("Ergebnis des Protokolls: %1").arg(verdictText(m_verdict.verdict)),
                    kVerdictLine);
        m_flow.advance(m_measure.lineHeight(kVerdictLine));
        if (m_openFindings > 0)
            m_flow.paragraph(kLeft, kWidth, provisionalText(m_openFindings), kBodyBold);
        m_flow.paragraph(kLeft, kWidth, qs(m_verdict.reason), kBody);
        m_flow.advance(1.5);
        m_flow.rule(kLeft, m_flow.y(), kRight, m_flow.y(), 0.4);
        m_flow.advance(4.0);
    }

    void headerBlock()
    {
        const record::Inspection& h = m_record.inspection;
        const std::array<std::pair<QString, QString>, 10> fields{{
            {QStringLiteral("Auftrag"), optionalText(h.order)},
            {QStringLiteral("Bauteil"), optionalText(h.component)},
            {QStringLiteral("Zeichnung"), optionalText(h.drawing)},
            {QStringLiteral("Norm"), qs(h.standardOrDefault())},
            {QStringLiteral("Prüfverfahren"), optionalText(h.method)},
            {QStringLiteral("Prüfstufe"), optionalText(h.stage)},
            {QStringLiteral("Prüfer"), optionalText(h.inspector)},
            {QStringLiteral("Qualifikation"), optionalText(h.qualification)},
            {QStringLiteral("Prüfdatum"), dateText(h.date)},
            {QStringLiteral("Prüfort"), optionalText(h.place)},
        }};
        constexpr double labelWidth = 25.0;
        constexpr double columnWidth = kWidth / 2;
        const double lh = m_measure.lineHeight(kBody);
        for (std::size_t i = 0; i < fields.size(); i += 2) {
            double rowHeight = lh;
            for (std::size_t c = 0; c < 2; ++c) {
                const double left = kLeft + c * columnWidth;
                const auto& [label, value] = fields[i + c];
                m_flow.textAt(left, m_flow.y(), label + QLatin1Char(':'), kLabel);
                const QStringList lines = m_measure.lines(value, kBody, columnWidth - labelWidth - 2.0);
                for (qsizetype k = 0; k < lines.size(); ++k)
                    m_flow.textAt(left + labelWidth, m_flow.y() + k * lh, lines[k], kBody);
                rowHeight = std::max(rowHeight, lines.size() * lh);
            }
            m_flow.advance(rowHeight + 0.8);
        }
        if (h.remarks) {
            m_flow.text(kLeft, QStringLiteral("Bemerkungen:"), kLabel);
            m_flow.paragraph(kLeft + labelWidth, kWidth - labelWidth, qs(*h.remarks), kBody);
        }
        if (!m_info.fileName.isEmpty()) {
            // The name only: a folder of the inspector's computer means
            // nothing on paper and is nobody else's business.
            m_flow.text(kLeft, QStringLiteral("Datei:"), kLabel);
            m_flow.paragraph(kLeft + labelWidth, kWidth - labelWidth,
                             QFileInfo(QDir::fromNativeSeparators(m_info.fileName)).fileName(), kBody);
        }
        m_flow.advance(4.0);
    }

    QString weldDataLine(const Weld& w) const
    {
        QString s = QStringLiteral("%1, Bewertungsgruppe %2, %3 = %4 mm, l = %5 mm, b = %6 mm, bw = %7 mm")
                        .arg(seamName(w.seam), levelName(w.level),
                             w.seam == SeamType::Fillet ? QStringLiteral("a") : QStringLiteral("t"), number(w.t),
                             number(w.l), number(w.b), number(w.bw));
        if (w.welderTest.value_or(false))
            s += QStringLiteral(", bewertet zur Schweißerprüfung nach DIN EN 287-1");
        if (w.railBridge.value_or(false))
            s += QStringLiteral(", bewertet nach Ril 804.4101 (Eisenbahnbrücken)");
        return s;
    }

    QString weldDetails(const Weld& w) const
    {
        QStringList parts;
        if (w.welder)
            parts << QStringLiteral("Schweißer: %1").arg(qs(*w.welder));
        if (w.process)
            parts << QStringLiteral("Schweißprozess: %1").arg(qs(*w.process));
        if (w.location)
            parts << QStringLiteral("Lage: %1").arg(qs(*w.location));
        if (w.remarks)
            parts << QStringLiteral("Bemerkungen: %1").arg(qs(*w.remarks));
        return parts.join(QStringLiteral(" \u00B7 "));
    }

    std::array<Cell, 7> findingCells(const Finding& f, const FindingVerdict& v) const
    {
        const bool known = f.record >= 1 && f.record <= m_rows.rowCount();
        const auto value = f.value.value();
        QString limit;
        if (v.limit) // with its direction: "≤ 0,33 mm", "≥ 110°"
            limit = QString::fromStdString(record::boundedLimitText(*v.limit, v.bound, v.unit, ","));
        else if (!v.belongs)
            limit = QString::fromUtf8(kNotApplicable.data(), static_cast<qsizetype>(kNotApplicable.size()));
        else
            limit = qs(v.limitText);
        QString measured = value ? QString::fromStdString(record::quantityText(*value, v.unit, ","))
                                 : QString::fromStdString(f.value.text);
        const QString length = f.length ? QStringLiteral("Länge %1 mm").arg(number(*f.length)) : QString();
        QString location = optionalText(f.location);
        if (f.remark)
            location += (location.isEmpty() ? QString() : QStringLiteral(" \u2013 ")) + qs(*f.remark);
        const auto w = [](std::size_t c) { return kWidths[c] - 2 * kCellPad; };
        return {{
            {m_measure.lines(QString::number(f.record), kCell, w(0)), kCell, {}},
            {m_measure.lines(known ? qs(m_rows.text(f.record, field::kReference)) : QString(), kCell, w(1)), kCell, {}},
            {m_measure.lines(known ? qs(m_rows.text(f.record, field::kImperfection)) : QString(), kCell, w(2)),
             kCell,
             {}},
            {m_measure.lines(location, kCell, w(3)), kCell, {}},
            {m_measure.lines(measured, kCell, w(4)) + m_measure.lines(length, kCell, w(4)), kCell, {}},
            {m_measure.lines(limit, kCell, w(5)), kCell, {}},
            {m_measure.lines(verdictText(v.verdict), kCellBold, w(6)), kCellBold,
             m_measure.lines(qs(v.reason), kSmall, w(6))},
        }};
    }

    std::array<Cell, 7> headerCells() const
    {
        std::array<Cell, 7> cells;
        for (std::size_t c = 0; c < kTitles.size(); ++c)
            cells[c] = {
                m_measure.lines(QString::fromUtf8(kTitles[c]), kCellBold, kWidths[c] - 2 * kCellPad), kCellBold, {}};
        return cells;
    }

    void tableHeader()
    {
        const auto cells = headerCells();
        m_flow.rule(kLeft, m_flow.y(), kRight, m_flow.y(), 0.3);
        m_flow.row(cells, kWidths, m_flow.rowHeight(cells));
    }

    void weldHeading(const Weld& w, bool continued)
    {
        const QString title = QStringLiteral("Naht %1").arg(qs(w.id));
        m_flow.text(kLeft, continued ? title + QStringLiteral(" (Fortsetzung)") : title, kHeading);
        m_flow.advance(m_measure.lineHeight(kHeading) + 0.5);
    }

    void weldBlock(const Weld& w, const WeldVerdict& wv)
    {
        std::vector<std::array<Cell, 7>> rows;
        for (std::size_t k = 0; k < w.findings.size(); ++k)
            rows.push_back(findingCells(w.findings[k], k < wv.findings.size() ? wv.findings[k] : FindingVerdict{}));

        const QStringList data = m_measure.lines(weldDataLine(w), kBody, kWidth);
        const QStringList details = m_measure.lines(weldDetails(w), kBody, kWidth);
        const auto header = headerCells();
        const double lh = m_measure.lineHeight(kBody);
        // The heading does not stand alone at a page's end: it keeps its data,
        // the table header and the first finding with it.
        const double opening = m_measure.lineHeight(kHeading) + 0.5 + (data.size() + details.size()) * lh + 1.5 +
                               m_flow.rowHeight(header) + (rows.empty() ? lh : m_flow.rowHeight(rows.front()));
        m_flow.keep(opening);
        weldHeading(w, false);
        for (const QString& line : data + details) {
            m_flow.text(kLeft, line, kBody);
            m_flow.advance(lh);
        }
        m_flow.advance(1.5);

        if (rows.empty()) {
            m_flow.text(kLeft, QStringLiteral("keine Befunde"), kBody);
            m_flow.advance(lh);
        } else {
            tableHeader();
            m_flow.setContinuation([this, &w](Flow&) {
                weldHeading(w, true);
                tableHeader();
            });
            for (const auto& row : rows) {
                const double h = m_flow.rowHeight(row);
                m_flow.keep(h);
                m_flow.row(row, kWidths, h);
            }
            m_flow.setContinuation({});
        }
        m_flow.advance(1.5);
        const QString result =
            QStringLiteral("Ergebnis der Naht %1: %2 (%3)").arg(qs(w.id), verdictText(wv.verdict), qs(wv.reason));
        m_flow.paragraph(kLeft, kWidth, result, kBodyBold);
        m_flow.advance(6.0);
    }

    void signatureBlock()
    {
        const record::Inspection& h = m_record.inspection;
        const double lh = m_measure.lineHeight(kBody);
        const double fieldGap = 12.0;
        m_flow.keep(m_measure.lineHeight(kHeading) + 2 * (fieldGap + lh) + 4.0);
        m_flow.advance(2.0);
        m_flow.text(kLeft, QStringLiteral("Bestätigung des Prüfers"), kHeading);
        m_flow.advance(m_measure.lineHeight(kHeading) + 2.0);

        constexpr double half = kWidth / 2;
        const std::array<std::array<std::pair<QString, QString>, 2>, 2> lines{{
            {{{QStringLiteral("Ort"), optionalText(h.place)}, {QStringLiteral("Datum"), dateText(h.date)}}},
            {{{QStringLiteral("Name"), optionalText(h.inspector)}, {QStringLiteral("Unterschrift"), QString()}}},
        }};
        for (const auto& pair : lines) {
            // The prepared value stands on the line; the label below it.
            const double lineY = m_flow.y() + fieldGap;
            for (std::size_t c = 0; c < 2; ++c) {
                const double left = kLeft + c * half;
                const double right = left + half - 8.0;
                if (!pair[c].second.isEmpty())
                    m_flow.textAt(left + 1.0, lineY - lh - 0.5, pair[c].second, kBody);
                m_flow.rule(left, lineY, right, lineY, 0.2);
                m_flow.textAt(left, lineY + 0.8, pair[c].first, kLabel);
            }
            m_flow.advance(fieldGap + lh + 2.0);
        }
    }

    // The running header with the record's verdict (and the provisional
    // mark while findings are open) and the footer with version, catalogue,
    // date and "Seite N von M", once the number of pages is known.
    void finishPages(std::vector<PrintPage>& pages) const
    {
        const int total = static_cast<int>(pages.size());
        const QString printed = m_info.printed.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        const QString sha = m_info.catalogueSha256.isEmpty() ? QStringLiteral("nicht lesbar") : m_info.catalogueSha256;
        const QString order = optionalText(m_record.inspection.order);
        const double fh = m_measure.lineHeight(kFooter);
        const TextStyle footerBold{kFooter.pointSize, true};
        const QString verdict = QStringLiteral("Ergebnis des Protokolls: %1").arg(verdictText(m_verdict.verdict));
        for (int i = 0; i < total; ++i) {
            PrintPage& p = pages[static_cast<std::size_t>(i)];
            if (i > 0) {
                QString running = kRecordPrintTitle;
                if (!order.isEmpty())
                    running += QStringLiteral(" \u2013 Auftrag %1").arg(order);
                p.texts.push_back({kLeft, kTop, running, kFooter, false});
                p.texts.push_back({kRight, kTop, verdict, footerBold, true});
                double ruleY = kTop + fh + 0.8;
                if (m_openFindings > 0) {
                    p.texts.push_back({kRight, kTop + fh, provisionalText(m_openFindings), footerBold, true});
                    ruleY += fh;
                }
                p.rules.push_back({kLeft, ruleY, kRight, ruleY, 0});
            }
            p.rules.push_back({kLeft, kFooterRule, kRight, kFooterRule, 0});
            p.texts.push_back({kLeft, kFooterRule + 1.0,
                               QStringLiteral("Veltrano %1 \u00B7 Katalog SHA-256: %2").arg(m_info.programVersion, sha),
                               kFooter, false});
            p.texts.push_back(
                {kLeft, kFooterRule + 1.0 + fh, QStringLiteral("gedruckt am %1").arg(printed), kFooter, false});
            p.texts.push_back({kRight, kFooterRule + 1.0 + fh, QStringLiteral("Seite %1 von %2").arg(i + 1).arg(total),
                               kFooter, true});
        }
    }

    const record::Record& m_record;
    const record::RecordVerdict& m_verdict;
    const record::CatalogueRows& m_rows;
    const RecordPrintInfo& m_info;
    Measure m_measure;
    Flow m_flow;
    int m_openFindings = 0;
};

} // namespace

QString programVersion()
{
    return QStringLiteral(VELTRANO_VERSION);
}

QFont printFont(const TextStyle& style)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(style.pointSize);
    font.setBold(style.bold);
    // Unhinted outlines keep the same metrics on screen, on paper and in PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

std::vector<PrintPage> layoutRecord(const record::Record& record, const record::RecordVerdict& verdict,
                                    const record::CatalogueRows& rows, const RecordPrintInfo& info)
{
    return RecordLayouter(record, verdict, rows, info).run();
}

} // namespace veltrano::recordprint
