#pragma once
// The printed inspection record on its devices: one renderer draws a page
// of the layout onto any painter, and the printer, the PDF file and the
// window's page preview all go through it.

#include "recordprint/RecordPrintLayout.h"

#include <filesystem>
#include <string>
#include <vector>

class QIODevice;
class QPainter;
class QPrinter;

namespace veltrano::recordprint {

// Draws one page.  The painter's origin must be the paper's top-left corner.
void drawRecordPage(QPainter& painter, const PrintPage& page);

// The pages as PDF, A4 without margins, under the print title.
// A QGuiApplication must exist.
bool writeRecordPdf(QIODevice* device, const std::vector<PrintPage>& pages, QString* error);

// The record as PDF into a file ("-": the standard output) by the rules of
// the one output writer (print::writeOutput): a regular file replaced only
// once the new one is complete, a link followed, a named pipe or a device
// written straight into, a folder refused, every failed write an error.  The verdict must be the
// record's own (judgeRecord with the decimal comma); catalogueSha256 names
// the catalogue that produced the limits; recordFile is the record's file
// (empty for a record never saved), of which the pages print the name as the
// preview does.  Works without a running application too (the command-line
// tool): it then starts a window-less one for the time of the call.
bool writeRecordPdf(const QString& fileOrDash, const record::Record& record, const record::RecordVerdict& verdict,
                    const record::CatalogueRows& rows, const std::string& catalogueSha256, QString* error,
                    const QString& recordFile = QString());

// Prints the pages in the printer's page range (all when none is set).
bool printRecord(QPrinter& printer, const std::vector<PrintPage>& pages, QString* error);

// The SHA-256 of a file in lower-case hex; empty when it cannot be read.
std::string fileSha256(const std::filesystem::path& file);

} // namespace veltrano::recordprint
