// The report to PDF beside a plain QPdfWriter program that draws the same
// number of text items (the same texts, fonts and places, memos on one line)
// on three A4 pages.  The report should take at most 1.5 times as long.
//
//   ./build/bin/report_bench

#include "report/ReportRenderer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <string>

using namespace veltrano;
using namespace veltrano::report;

namespace {

ReportParameters sampleParameters()
{
    std::array<std::string, EvaluationState::kCacheSize> cache{};
    for (int i = 1; i < EvaluationState::kCacheSize; ++i)
        cache[static_cast<std::size_t>(i)] = std::to_string(i % 9) + ",5 mm";
    cache[30] = "Kurze Unregelmäßigkeiten: h ≤ 0,2 t, max. 2 mm; bei mehreren Lagen je Lage";
    cache[35] = "Zulässigkeit abhängig von der Anwendung";
    ReportInputs in;
    in.seamText = "Stumpfnaht";
    in.levelText = "C (mittel)";
    in.md = "10,00";
    in.nl = "100,00";
    in.nb = "12,00";
    in.wb = "2,00";
    in.t = 10.0f;
    return buildReportParameters(in, cache);
}

struct PlainItem {
    double xMm, yMm;
    QFont font;
    QString text;
};

// The texts that the report prints, flattened into plain items per page.
std::vector<std::vector<PlainItem>> plainItems(const ReportParameters& params)
{
    std::vector<std::vector<PlainItem>> pages;
    for (const ReportPage& page : evaluationReportLayout().pages) {
        std::vector<PlainItem> items;
        for (const ReportItem& item : page.items) {
            if (item.kind == ItemKind::Line)
                continue;
            const QString text = item.kind == ItemKind::StaticText ? item.text : params.value(item.text);
            if (!text.isEmpty())
                items.push_back({item.leftMm, item.topMm + 4.0, reportFont(item.font), text});
        }
        pages.push_back(std::move(items));
    }
    return pages;
}

void BM_ReportToPdf(benchmark::State& state)
{
    const ReportParameters params = sampleParameters();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        if (!writeReportPdf(&buffer, params, &error))
            state.SkipWithError(error.toUtf8().constData());
        bytes = buffer.size();
        benchmark::DoNotOptimize(buffer.data().data());
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ReportToPdf)->Unit(benchmark::kMillisecond);

void BM_PlainPdfWriter(benchmark::State& state)
{
    const auto pages = plainItems(sampleParameters());
    std::size_t count = 0;
    for (const auto& p : pages)
        count += p.size();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(1200);
        QPainter painter(&writer);
        const double pxPerMm = writer.logicalDpiX() / 25.4;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            for (const PlainItem& item : pages[i]) {
                painter.setFont(item.font);
                painter.drawText(QPointF(item.xMm * pxPerMm, item.yMm * pxPerMm), item.text);
            }
        }
        painter.end();
        bytes = buffer.size();
        benchmark::DoNotOptimize(buffer.data().data());
    }
    state.counters["text_items"] = static_cast<double>(count);
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PlainPdfWriter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
