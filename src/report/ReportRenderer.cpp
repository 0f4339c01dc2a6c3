#include "report/ReportRenderer.h"

#include "print/PdfOutput.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace veltrano::report {

namespace {

constexpr double kMmPerInch = 25.4;

struct DeviceScale {
    double x;
    double y;
    explicit DeviceScale(const QPaintDevice* d)
        : x(d->logicalDpiX() / kMmPerInch)
        , y(d->logicalDpiY() / kMmPerInch)
    {
    }
};

// A parameter's text on one line: line breaks read as blanks.
QString singleLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

// Lays out a memo on the device; only the lines that fit are created.
void layoutMemo(QTextLayout& layout, double widthPx, double heightPx, QPaintDevice* device)
{
    QString text = layout.text();
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    layout.setText(text);

    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    const double lineHeight = QFontMetricsF(layout.font(), device).lineSpacing();
    const int capacity = memoLineCapacity(heightPx, lineHeight);
    layout.beginLayout();
    for (int i = 0; i < capacity; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(widthPx);
        line.setPosition(QPointF(0, i * lineHeight));
    }
    layout.endLayout();
}

void drawItem(QPainter& painter, const ReportItem& item, const ReportParameters& params, const DeviceScale& s)
{
    const QPointF topLeft(item.leftMm * s.x, item.topMm * s.y);
    QPaintDevice* device = painter.device();

    switch (item.kind) {
    case ItemKind::Line: {
        QPen pen(Qt::black);
        pen.setWidth(0); // cosmetic: one device pixel whatever the resolution
        painter.setPen(pen);
        painter.drawLine(topLeft, QPointF(topLeft.x() + item.widthMm * s.x, topLeft.y()));
        return;
    }
    case ItemKind::StaticText:
    case ItemKind::ParamField: {
        const QString text = item.kind == ItemKind::StaticText ? item.text : singleLine(params.value(item.text));
        if (text.isEmpty())
            return;
        const QFont font(reportFont(item.font), device);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double ascent = QFontMetricsF(font, device).ascent();
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + ascent), text);
        return;
    }
    case ItemKind::ParamMemo: {
        const QString text = params.value(item.text);
        if (text.isEmpty())
            return;
        QTextLayout layout(text, QFont(reportFont(item.font), device), device);
        layoutMemo(layout, item.widthMm * s.x, item.heightMm * s.y, device);
        painter.setPen(Qt::black);
        layout.draw(&painter, topLeft);
        return;
    }
    }
}

} // namespace

QFont reportFont(const FontStyle& style)
{
    QFont font(style.family);
    font.setPointSizeF(style.pointSize);
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    font.setStyleHint(QFont::SansSerif);
    // Unhinted outlines keep the same metrics on screen, on paper and in PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

int memoLineCapacity(double boxHeight, double lineHeight)
{
    if (!(lineHeight > 0) || !(boxHeight > 0))
        return 0;
    return static_cast<int>(std::floor(boxHeight / lineHeight + 0.00001));
}

QStringList memoLines(const QString& text, const FontStyle& font, double widthMm, double heightMm, QPaintDevice* device)
{
    if (text.isEmpty())
        return {};
    const DeviceScale s(device);
    QTextLayout layout(text, QFont(reportFont(font), device), device);
    layoutMemo(layout, widthMm * s.x, heightMm * s.y, device);
    QStringList lines;
    const QString laidOut = layout.text();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines << laidOut.mid(line.textStart(), line.textLength());
    }
    return lines;
}

void drawReportPage(QPainter& painter, const ReportPage& page, const ReportParameters& params)
{
    const DeviceScale s(painter.device());
    painter.save();
    for (const ReportItem& item : page.items)
        drawItem(painter, item, params, s);
    painter.restore();
}

namespace {

print::DrawPage reportPages(const ReportParameters& params)
{
    return [&params](QPainter& painter, int index) {
        drawReportPage(painter, evaluationReportLayout().pages[static_cast<std::size_t>(index)], params);
    };
}

int reportPageCount()
{
    return static_cast<int>(evaluationReportLayout().pages.size());
}

} // namespace

bool writeReportPdf(QIODevice* device, const ReportParameters& params, QString* error)
{
    return print::renderPdf(device, kPrintJobTitle, reportPageCount(), reportPages(params), error);
}

bool writeReportPdf(const QString& file, const ReportParameters& params, QString* error)
{
    return print::writePdf(file, kPrintJobTitle, reportPageCount(), reportPages(params), error);
}

bool writeReportPdf(QByteArray* bytes, const ReportParameters& params, QString* error)
{
    return print::renderPdf(bytes, kPrintJobTitle, reportPageCount(), reportPages(params), error);
}

bool printReport(QPrinter& printer, const ReportParameters& params, QString* error)
{
    printer.setDocName(kPrintJobTitle);
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));

    const ReportLayout& layout = evaluationReportLayout();
    const int pageCount = static_cast<int>(layout.pages.size());
    int from = 1;
    int to = pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pageCount, printer.toPage() > 0 ? printer.toPage() : pageCount);
    }
    if (from > to)
        return true;

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("Der Drucker \"%1\" kann nicht drucken.").arg(printer.printerName());
        return false;
    }
    for (int p = from; p <= to; ++p) {
        if (p > from)
            printer.newPage();
        drawReportPage(painter, layout.pages[static_cast<std::size_t>(p - 1)], params);
    }
    painter.end();
    return true;
}

} // namespace veltrano::report
