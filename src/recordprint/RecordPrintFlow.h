#pragma once
// The parts the record's pages are built from: the page geometry and text
// styles, the measuring of texts with the line breaking every cell and
// paragraph goes through, and the flow that fills the pages from top to
// bottom and starts a new one where a block does not fit.

#include "recordprint/RecordPrintLayout.h"

#include <QImage>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

namespace veltrano::recordprint::detail {

inline constexpr double kLeft = 20.0;
inline constexpr double kRight = 195.0;
inline constexpr double kWidth = kRight - kLeft;
inline constexpr double kTop = 15.0;
inline constexpr double kContentBottom = 278.0; // the footer begins below
inline constexpr double kFooterRule = 281.0;
inline constexpr double kCellPad = 1.0;

inline constexpr TextStyle kTitle{16.0, true};
inline constexpr TextStyle kSubtitle{11.0, false};
inline constexpr TextStyle kVerdictLine{12.0, true};
inline constexpr TextStyle kHeading{11.0, true};
inline constexpr TextStyle kBody{9.0, false};
inline constexpr TextStyle kBodyBold{9.0, true};
inline constexpr TextStyle kLabel{9.0, true};
inline constexpr TextStyle kCell{8.0, false};
inline constexpr TextStyle kCellBold{8.0, true};
inline constexpr TextStyle kSmall{7.0, false};
inline constexpr TextStyle kSmallBold{7.0, true};
inline constexpr TextStyle kFooter{7.5, false};

// A number and the unit after it joined by a no-break space ("20 mm",
// "1,5 mm²"), so that no line ends between them.
QString bindUnits(QString text);

// Measures texts as they print: every length in millimetres.  The device is
// a page-sized resolution that no screen rounds, so the line breaks decided
// here hold on every device the pages are drawn on.
class Measure {
public:
    Measure();

    double lineHeight(const TextStyle& s) const;
    double width(const QString& text, const TextStyle& s) const;

    // The text broken into lines of at most widthMm; an empty text is no
    // line.  Lines end at spaces (never at a no-break space) or after a
    // hyphen or slash of the text; a word wider than the line is divided
    // with a hyphen, at a syllable where one fits.
    QStringList lines(const QString& text, const TextStyle& s, double widthMm) const;

private:
    QImage m_device;
};

// One table cell: its wrapped lines, and smaller lines under them (the
// verdict's reason).
struct Cell {
    QStringList lines;
    TextStyle style;
    QStringList more; // in kSmall
};

class Flow {
public:
    explicit Flow(const Measure& m);

    const Measure& measure() const { return m_measure; }
    double y() const { return m_y; }
    void advance(double mm) { m_y += mm; }
    PrintPage& page() { return m_pages.back(); }
    std::vector<PrintPage>& pages() { return m_pages; }
    bool fits(double height) const { return m_y + height <= kContentBottom; }

    // Where a following page's content begins, below its running header.
    void setContentTop(double top) { m_contentTop = top; }
    void newPage();
    // Starts a new page unless a block of this height fits on this one.
    void keep(double height)
    {
        if (!fits(height))
            newPage();
    }
    // What a new page begins with while a table runs on (its header again).
    void setContinuation(std::function<void(Flow&)> f) { m_onNewPage = std::move(f); }

    void text(double left, const QString& t, const TextStyle& s, bool right = false)
    {
        page().texts.push_back({left, m_y, t, s, right});
    }
    void textAt(double left, double top, const QString& t, const TextStyle& s, bool right = false)
    {
        page().texts.push_back({left, top, t, s, right});
    }
    void rule(double x1, double y1, double x2, double y2, double width = 0)
    {
        page().rules.push_back({x1, y1, x2, y2, width});
    }
    // A paragraph wrapped at the width.
    void paragraph(double left, double width, const QString& t, const TextStyle& s);

    // Table rows: cells side by side in columns of these widths from the
    // left margin, padded above and below by pad, a thin rule under the row
    // unless told otherwise.
    double rowHeight(std::span<const Cell> cells, double pad = kCellPad) const;
    void row(std::span<const Cell> cells, std::span<const double> widths, double height, double pad = kCellPad,
             bool ruleBelow = true);

private:
    const Measure& m_measure;
    std::function<void(Flow&)> m_onNewPage;
    std::vector<PrintPage> m_pages;
    double m_y = kTop;
    double m_contentTop = kTop + 8.0;
};

} // namespace veltrano::recordprint::detail
