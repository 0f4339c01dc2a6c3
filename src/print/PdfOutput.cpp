#include "print/PdfOutput.h"

#include "print/GuiApplicationScope.h"
#include "print/OutputFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace veltrano::print {

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool renderPdf(QIODevice* device, const QString& title, int pageCount, const DrawPage& drawPage, QString* error)
{
    if (!device)
        return fail(error, QStringLiteral("Die PDF-Ausgabe hat kein Ziel."));
    QPdfWriter writer(device);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(1200);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Veltrano"));

    QPainter painter;
    if (!painter.begin(&writer))
        return fail(error, QStringLiteral("Die PDF-Ausgabe kann nicht begonnen werden."));
    bool ok = true;
    for (int i = 0; i < pageCount && ok; ++i) {
        if (i > 0)
            ok = writer.newPage();
        if (ok)
            drawPage(painter, i);
    }
    // end() writes the rest of the file: its result counts as well.
    if (!painter.end() || !ok)
        return fail(error, QStringLiteral("Die PDF-Ausgabe kann nicht abgeschlossen werden."));
    return true;
}

bool renderPdf(QByteArray* pdf, const QString& title, int pageCount, const DrawPage& drawPage, QString* error)
{
    const GuiApplicationScope app;
    if (!app.usable())
        return fail(error, QStringLiteral("Die PDF-Ausgabe braucht eine grafische Anwendung."));
    pdf->clear();
    QBuffer buffer(pdf);
    if (!buffer.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Die PDF-Ausgabe kann nicht begonnen werden."));
    return renderPdf(&buffer, title, pageCount, drawPage, error);
}

bool writePdf(const QString& target, const QString& title, int pageCount, const DrawPage& drawPage, QString* error)
{
    // The whole document first: a document that cannot be made touches no
    // file, and the target receives it in one piece.
    QByteArray pdf;
    if (!renderPdf(&pdf, title, pageCount, drawPage, error))
        return false;
    return writeOutput(target, pdf, error);
}

} // namespace veltrano::print
