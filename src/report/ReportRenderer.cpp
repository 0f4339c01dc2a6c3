#include "ReportRenderer.h"

#include "GuiApplicationScope.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
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

bool writeReportPdf(QIODevice* device, const ReportParameters& params, QString* error)
{
    QPdfWriter writer(device);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(1200);
    writer.setTitle(kPrintJobTitle);
    writer.setCreator(QStringLiteral("Veltrano"));

    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Die PDF-Ausgabe kann nicht begonnen werden.");
        return false;
    }
    const ReportLayout& layout = evaluationReportLayout();
    for (std::size_t i = 0; i < layout.pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        drawReportPage(painter, layout.pages[i], params);
    }
    painter.end();
    return true;
}

bool writeReportPdf(const QString& file, const ReportParameters& params, QString* error)
{
    const GuiApplicationScope app;
    if (!app.usable()) {
        if (error)
            *error = QStringLiteral("Die PDF-Ausgabe braucht eine grafische Anwendung.");
        return false;
    }
    auto cannotWrite = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(file, reason);
        return false;
    };
    // A named pipe or a device is written straight into: replacing it by a
    // renamed file would take its place in the folder.
    const QFileInfo info(file);
    if (info.exists() && !info.isFile() && !info.isDir()) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return cannotWrite(out.errorString());
        if (!writeReportPdf(&out, params, error))
            return false;
        out.close();
        if (out.error() != QFileDevice::NoError)
            return cannotWrite(out.errorString());
        return true;
    }
    // A regular file is replaced only once the new one has been written whole.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return cannotWrite(out.errorString());
    if (!writeReportPdf(&out, params, error)) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return cannotWrite(out.errorString());
    return true;
}

bool writeReportPdf(QByteArray* bytes, const ReportParameters& params, QString* error)
{
    const GuiApplicationScope app;
    if (!app.usable()) {
        if (error)
            *error = QStringLiteral("Die PDF-Ausgabe braucht eine grafische Anwendung.");
        return false;
    }
    QBuffer buffer(bytes);
    buffer.open(QIODevice::WriteOnly);
    return writeReportPdf(&buffer, params, error);
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
