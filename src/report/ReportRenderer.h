#pragma once
// Draws the report's pages.  One renderer serves the screen preview, the
// printer and the PDF file: it places every item in millimetres, converted
// with the resolution of whatever device the painter draws on, and lets the
// fonts take their size from that same resolution.

#include "report/ReportLayout.h"
#include "report/ReportParameters.h"

#include <QFont>
#include <QStringList>

class QIODevice;
class QPainter;
class QPaintDevice;
class QPrinter;

namespace veltrano::report {

// The title stored with the pages and given to the printer as document name.
inline const QString kPrintJobTitle = QStringLiteral("Ausdruck für DIN EN ISO 5817");

QFont reportFont(const FontStyle& style);

// How many lines a memo box of the given height holds: the height divided by
// the line height, plus 0.00001 (so a box of exactly n lines holds n despite
// rounding), rounded down.
int memoLineCapacity(double boxHeight, double lineHeight);

// The lines of a memo as they print on the device: the text word-wrapped at
// the box width, then only the whole lines that fit in the box.
QStringList memoLines(const QString& text, const FontStyle& font, double widthMm, double heightMm,
                      QPaintDevice* device);

// Draws one page.  The painter's origin must be the paper's top-left corner.
void drawReportPage(QPainter& painter, const ReportPage& page, const ReportParameters& params);

// The report as PDF: the three A4 pages, without margins, under the print job
// title.  A QGuiApplication must exist.  Returns false with a message in
// *error when the pages cannot be written.
bool writeReportPdf(QIODevice* device, const ReportParameters& params, QString* error);

// The same into a file ("-": standard output) by the rules of the one output
// writer (print::writeOutput): a regular file replaced only once the new one
// is complete, a link followed, a named pipe or a device written straight
// into, a folder refused, every failed write an error.  Works without a
// running application too (the command-line tool): it then starts a
// window-less one for the time of the call.
bool writeReportPdf(const QString& file, const ReportParameters& params, QString* error);

// The same into memory.
bool writeReportPdf(QByteArray* bytes, const ReportParameters& params, QString* error);

// Prints the pages in the printer's page range (all pages when none is set)
// on the paper's full page, under the print job title.
bool printReport(QPrinter& printer, const ReportParameters& params, QString* error);

} // namespace veltrano::report
