#pragma once
// The PDF of a printed document: A4 portrait pages without margins at 1200
// dots per inch under the document's title, drawn by the document's own
// renderer and written by the one output writer (OutputFile.h).

#include <QString>

#include <functional>

class QByteArray;
class QIODevice;
class QPainter;

namespace veltrano::print {

// Draws page `index` (0 based) with the painter's origin at the paper's
// top-left corner.
using DrawPage = std::function<void(QPainter& painter, int index)>;

// The pages as PDF onto device.  A QGuiApplication must exist.  False with a
// message in *error when the PDF cannot be made or written.
bool renderPdf(QIODevice* device, const QString& title, int pageCount, const DrawPage& drawPage, QString* error);

// The same into memory.  Works without a running application too: it then
// starts a window-less one for the time of the call.
bool renderPdf(QByteArray* pdf, const QString& title, int pageCount, const DrawPage& drawPage, QString* error);

// The same written to target ("-": standard output) by writeOutput's rules.
bool writePdf(const QString& target, const QString& title, int pageCount, const DrawPage& drawPage, QString* error);

} // namespace veltrano::print
