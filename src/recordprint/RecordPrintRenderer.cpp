#include "recordprint/RecordPrint.h"

#include "print/GuiApplicationScope.h"
#include "print/PdfOutput.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace veltrano::recordprint {

namespace {

constexpr double kMmPerInch = 25.4;

void setFail(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

void drawRecordPage(QPainter& painter, const PrintPage& page)
{
    QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / kMmPerInch;
    const double sy = device->logicalDpiY() / kMmPerInch;
    painter.save();
    for (const PrintRule& r : page.rules) {
        QPen pen(Qt::black);
        pen.setWidthF(r.widthMm * sy); // 0: cosmetic, one device pixel
        painter.setPen(pen);
        painter.drawLine(QPointF(r.x1Mm * sx, r.y1Mm * sy), QPointF(r.x2Mm * sx, r.y2Mm * sy));
    }
    painter.setPen(Qt::black);
    for (const PrintText& t : page.texts) {
        if (t.text.isEmpty())
            continue;
        const QFont font(printFont(t.style), device);
        const QFontMetricsF metrics(font, device);
        painter.setFont(font);
        double x = t.leftMm * sx;
        if (t.alignRight)
            x -= metrics.horizontalAdvance(t.text);
        painter.drawText(QPointF(x, t.topMm * sy + metrics.ascent()), t.text);
    }
    painter.restore();
}

namespace {

print::DrawPage recordPages(const std::vector<PrintPage>& pages)
{
    return [&pages](QPainter& painter, int index) { drawRecordPage(painter, pages[static_cast<std::size_t>(index)]); };
}

} // namespace

bool writeRecordPdf(QIODevice* device, const std::vector<PrintPage>& pages, QString* error)
{
    return print::renderPdf(device, kRecordPrintTitle, static_cast<int>(pages.size()), recordPages(pages), error);
}

bool writeRecordPdf(const QString& fileOrDash, const record::Record& record, const record::RecordVerdict& verdict,
                    const record::CatalogueRows& rows, const std::string& catalogueSha256, QString* error,
                    const QString& recordFile)
{
    const print::GuiApplicationScope app; // the layout measures with fonts
    if (!app.usable()) {
        setFail(error, QStringLiteral("Die PDF-Ausgabe braucht eine grafische Anwendung."));
        return false;
    }
    RecordPrintInfo info;
    info.programVersion = programVersion();
    info.catalogueSha256 = QString::fromStdString(catalogueSha256);
    info.printed = QDateTime::currentDateTime();
    info.fileName = recordFile; // the layout prints its name only
    const std::vector<PrintPage> pages = layoutRecord(record, verdict, rows, info);
    return print::writePdf(fileOrDash, kRecordPrintTitle, static_cast<int>(pages.size()), recordPages(pages), error);
}

bool printRecord(QPrinter& printer, const std::vector<PrintPage>& pages, QString* error)
{
    printer.setDocName(kRecordPrintTitle);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const int count = static_cast<int>(pages.size());
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    if (from > to)
        return true;
    QPainter painter;
    if (!painter.begin(&printer)) {
        setFail(error, QStringLiteral("Der Drucker \"%1\" kann nicht drucken.").arg(printer.printerName()));
        return false;
    }
    for (int p = from; p <= to; ++p) {
        if (p > from)
            printer.newPage();
        drawRecordPage(painter, pages[static_cast<std::size_t>(p - 1)]);
    }
    painter.end();
    return true;
}

std::string fileSha256(const std::filesystem::path& file)
{
    QFile in(QString::fromStdU16String(file.u16string()));
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&in))
        return {};
    return hash.result().toHex().toStdString();
}

} // namespace veltrano::recordprint
