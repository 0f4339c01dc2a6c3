#pragma once
// The printed inspection record as data: A4 portrait pages, each a list of
// single text lines and rules placed in millimetres from the paper's top-left
// corner.  The layout decides everything once (the wrapping of every cell,
// where a page ends, the page numbers), so the preview, the printer and the
// PDF file all show the same pages.
//
// The title names the method (a visual inspection, or the method given).
// The record's verdict comes first, marked "vorläufig – N Befunde offen"
// while findings await the inspector (on every page).  A record of several
// welds opens with an overview, one line per weld.  Every page carries the
// program version, the SHA-256 of the catalogue that produced the limits,
// the printing date and "Seite N von M".  Welds follow one another; a
// findings table that runs over a page ends repeats its header on the next,
// and no row is split across pages.  The inspector's place, date, name and
// signature close the record.

#include "record/CatalogueRows.h"
#include "record/Record.h"
#include "record/Verdict.h"

#include <QDateTime>
#include <QString>

#include <vector>

class QFont;

namespace veltrano::recordprint {

inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;

// The title stored with the pages and given to the printer as document name.
inline const QString kRecordPrintTitle = QStringLiteral("Prüfprotokoll");

struct TextStyle {
    double pointSize = 9.0;
    bool bold = false;
};

struct PrintText {
    double leftMm = 0;
    double topMm = 0; // the top of the text line
    QString text;     // one line, never wrapped again
    TextStyle style;
    bool alignRight = false; // leftMm is then the right edge
};

struct PrintRule {
    double x1Mm = 0, y1Mm = 0, x2Mm = 0, y2Mm = 0;
    double widthMm = 0; // 0: one device pixel
};

struct PrintPage {
    std::vector<PrintText> texts;
    std::vector<PrintRule> rules;
};

// What the pages say about where they came from.
struct RecordPrintInfo {
    QString programVersion;
    QString catalogueSha256; // hex; empty when the catalogue could not be read
    QDateTime printed;
    QString fileName; // the record file, empty for a record never saved; only its name is printed
};

// The program's own version, as the build names it.
QString programVersion();

// The font of a style, the same on screen, paper and in PDF.
QFont printFont(const TextStyle& style);

// Lays the record out on pages.  The verdicts must be those of this record
// (judgeRecord with the decimal comma).  A QGuiApplication must exist.
std::vector<PrintPage> layoutRecord(const record::Record& record, const record::RecordVerdict& verdict,
                                    const record::CatalogueRows& rows, const RecordPrintInfo& info);

} // namespace veltrano::recordprint
