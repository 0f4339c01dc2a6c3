#include "NumberedCache.h"
#include "PdfReadBack.h"
#include "report/ReportLayout.h"
#include "report/ReportRenderer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace veltrano;
using namespace veltrano::report;
using namespace veltrano::test;

namespace {

ReportInputs buttWeld10()
{
    ReportInputs in;
    in.seamText = "Stumpfnaht";
    in.levelText = "B (hoch)";
    in.md = "10,00";
    in.nl = "100,00";
    in.nb = "12,00";
    in.wb = "2,00";
    in.seamIndex = 0;
    in.t = 10.0f;
    return in;
}

const QString kLongMemo =
    QStringLiteral("alpha bravo charlie delta echo foxtrot golf hotel india juliett kilo lima mike november oscar papa "
                   "quebec romeo sierra tango uniform victor whiskey xray yankee zulu eins zwei drei vier fuenf sechs "
                   "sieben acht neun zehn elf zwoelf dreizehn vierzehn");

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pdftotextAvailable())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(dir.isValid());
    }

    std::vector<PdfPage> write(const ReportParameters& params)
    {
        const QString file = dir.filePath("report.pdf");
        QString error;
        EXPECT_TRUE(writeReportPdf(file, params, &error)) << error.toStdString();
        return readBack(file);
    }

    QTemporaryDir dir;
};

} // namespace

TEST(ReportLayoutData, ThreePagesInOrderWithEveryParameterOnce)
{
    const ReportLayout& layout = evaluationReportLayout();
    EXPECT_EQ(layout.name, "Report1");
    ASSERT_EQ(layout.pages.size(), 3u);
    EXPECT_EQ(layout.pages[0].next, "Page2");
    EXPECT_EQ(layout.pages[1].next, "Page3");
    EXPECT_TRUE(layout.pages[2].next.isEmpty());

    QStringList params;
    for (const ReportPage& page : layout.pages) {
        EXPECT_EQ(page.widthMm, 210.0);
        EXPECT_EQ(page.heightMm, 297.0);
        for (const ReportItem& item : page.items)
            if (item.kind == ItemKind::ParamField || item.kind == ItemKind::ParamMemo)
                params << item.text.toUpper();
    }
    EXPECT_EQ(params.size(), 63);
    params.removeDuplicates();
    EXPECT_EQ(params.size(), 63);
    EXPECT_TRUE(params.contains("IW19"));
}

TEST(ReportMemo, CapacityIsWholeLinesWithRoundingSlack)
{
    EXPECT_EQ(memoLineCapacity(21.6, 4.868), 4);
    EXPECT_EQ(memoLineCapacity(0.3, 0.1), 3); // 0.3 / 0.1 is 2.9999999999999996
    EXPECT_EQ(memoLineCapacity(4.8, 4.868), 0);
    EXPECT_EQ(memoLineCapacity(0.0, 4.868), 0);
    EXPECT_EQ(memoLineCapacity(10.0, 0.0), 0);
}

// A memo value longer than its box: word-wrapped at the box's width, only the
// whole lines that fit, and those are the beginning of the text.
TEST(ReportMemo, LongTextKeepsOnlyTheLinesThatFit)
{
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(47244); // 1200 dpi
    device.setDotsPerMeterY(47244);
    const FontStyle font;
    const QFont f(reportFont(font), &device);
    const double lineMm = QFontMetricsF(f, &device).lineSpacing() / device.logicalDpiY() * 25.4;

    for (const double heightMm : {21.6, 19.0, 3 * lineMm, 3 * lineMm - 0.01}) {
        const QStringList lines = memoLines(kLongMemo, font, 62.0, heightMm, &device);
        ASSERT_EQ(lines.size(), memoLineCapacity(heightMm, lineMm)) << heightMm;
        EXPECT_TRUE(kLongMemo.startsWith(lines.join(QString()))) << heightMm;
        for (const QString& line : lines) {
            EXPECT_LE(QFontMetricsF(f, &device).horizontalAdvance(line.trimmed()) / device.logicalDpiX() * 25.4, 62.0);
            EXPECT_FALSE(line.trimmed().isEmpty());
        }
    }
    EXPECT_EQ(memoLines(kLongMemo, font, 62.0, 3 * lineMm, &device).size(), 3);
    EXPECT_EQ(memoLines("kurz", font, 62.0, 21.6, &device), QStringList{"kurz"});
    EXPECT_TRUE(memoLines(QString(), font, 62.0, 21.6, &device).isEmpty());
}

// The header line is one device pixel high, at 22.2 mm from 25.0 to 187.3 mm.
TEST(ReportRenderer, HeaderLineIsOneDevicePixelOnAnyDevice)
{
    for (const int dotsPerMm : {4, 10}) {
        QImage image(210 * dotsPerMm, 297 * dotsPerMm, QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMm * 1000);
        image.setDotsPerMeterY(dotsPerMm * 1000);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            drawReportPage(painter, evaluationReportLayout().pages[0], ReportParameters());
        }
        const int x0 = static_cast<int>(std::lround(25.0 * dotsPerMm));
        const int x1 = static_cast<int>(std::lround(187.3 * dotsPerMm));
        int darkRows = 0;
        for (int y = static_cast<int>(21.0 * dotsPerMm); y < static_cast<int>(23.5 * dotsPerMm); ++y) {
            int dark = 0;
            for (int x = x0 + 1; x < x1 - 1; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
            if (dark > 0) {
                EXPECT_EQ(dark, x1 - x0 - 2) << "row " << y;
                EXPECT_NEAR(y, 22.2 * dotsPerMm, 1.0);
                ++darkRows;
            }
        }
        EXPECT_EQ(darkRows, 1) << dotsPerMm << " px/mm";
        EXPECT_EQ(qGray(image.pixel(x0 - 2, static_cast<int>(22.2 * dotsPerMm))), 255);
        EXPECT_EQ(qGray(image.pixel(x1 + 2, static_cast<int>(22.2 * dotsPerMm))), 255);
    }
}

TEST_F(ReportPdf, ThreeA4PagesWithLabelsAndValuesInPlace)
{
    Cache cache = numberedCache();
    cache[8].clear(); // IW4 has no result yet: its place stays blank
    const auto pages = write(buildReportParameters(buttWeld10(), cache));
    ASSERT_EQ(pages.size(), 3u);
    for (const PdfPage& page : pages) {
        EXPECT_NEAR(page.width, 210.0, 0.5);
        EXPECT_NEAR(page.height, 297.0, 0.5);
    }

    struct Expect {
        int page;
        const char* word;
        double left, top;
    };
    const Expect expected[] = {
        {1, "Bewertung", 25.0, 14.0},
        {1, "Stumpfnaht", 64.6, 14.0},
        {1, ",", 99.5, 14.0},
        {1, "B", 149.9, 14.0},
        {1, "Materialdicke", 25.0, 32.8},
        {1, "10,00", 68.4, 32.8},
        {1, "Nahtlänge", 25.8, 43.7},
        {1, "100,00", 68.4, 44.4},
        {1, "Wurzelbreite", 114.3, 43.7},
        {1, "2,00", 154.2, 44.4},
        {1, "12,00", 154.5, 32.8},
        {1, "1.", 18.0, 56.1},
        {1, "100", 18.0, 68.0},
        {1, "R1", 140.0, 68.0},
        {1, "R6", 140.0, 82.0},
        {1, "2025", 18.0, 89.0},
        // Root groove (records 14/15) and undercut (12/13) each beside their own label.
        {1, "5013", 18.0, 116.2},
        {1, "R15", 140.0, 116.6},
        {1, "5011", 18.0, 123.0},
        {1, "R13", 140.0, 122.8},
        {1, "R30", 140.0, 195.0},
        {1, "602", 18.0, 258.4},
        {1, "R35", 140.0, 259.2},
        {2, "2.", 18.0, 11.4},
        {2, "R36", 150.0, 18.2},
        {2, "abhängig", 150.0, 26.8},
        {2, "2013", 18.0, 78.4},
        {2, "R43", 150.2, 78.0},
        {2, "R79", 150.0, 224.6},
        {3, "3.", 18.0, 11.0},
        {3, "R81", 150.0, 21.0},
        {3, "R85", 150.4, 42.0},
        {3, "4.", 18.0, 62.0},
        {3, "Mehrfachunregelmäßigkeit", 18.0, 72.0},
        {3, "R87", 150.0, 72.0},
        {3, "R89", 150.0, 79.0},
    };
    for (const Expect& e : expected)
        EXPECT_NE(wordAt(pages[static_cast<std::size_t>(e.page - 1)], QString::fromUtf8(e.word), e.left, e.top),
                  nullptr)
            << "page " << e.page << ": " << e.word << " at " << e.left << ", " << e.top;

    // The unset line keeps its label and prints nothing in its place.
    EXPECT_TRUE(wordsNear(pages[0], 140.0, 88.6).empty());
}

TEST_F(ReportPdf, LongFieldRunsOnAndLongMemoStopsInsideItsBox)
{
    ReportParameters params = buildReportParameters(buttWeld10(), numberedCache());
    params.set("IW1", "eins zwei drei vier fuenf sechs sieben");
    params.set("iw19", kLongMemo);
    const auto pages = write(params);
    ASSERT_EQ(pages.size(), 3u);
    const PdfPage& p1 = pages[0];

    // The field: one line, nothing cut, running past the right margin.
    double lastRight = 0;
    for (const QString& w : QStringList{"eins", "zwei", "drei", "vier", "fuenf", "sechs", "sieben"}) {
        const auto it = std::find_if(p1.words.begin(), p1.words.end(), [&](const Word& x) { return x.text == w; });
        ASSERT_NE(it, p1.words.end()) << w.toStdString();
        EXPECT_NEAR(it->top, 68.0, kTolerance) << w.toStdString();
        lastRight = std::max(lastRight, it->right);
    }
    EXPECT_GT(lastRight, 190.0);

    // The memo: box 140.0/195.0, 62.0 x 21.6 mm.
    QStringList printed;
    for (const Word& w : p1.words)
        if (w.left >= 140.0 - kTolerance && w.top >= 195.0 - kTolerance && w.top < 219.0) {
            printed << w.text;
            EXPECT_LE(w.right, 140.0 + 62.0 + kTolerance) << w.text.toStdString();
            EXPECT_LE(w.bottom, 195.0 + 21.6 + kTolerance) << w.text.toStdString();
        }
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_TRUE(kLongMemo.startsWith(printed.join(' ')));
    EXPECT_LT(printed.size(), kLongMemo.split(' ').size());
    EXPECT_FALSE(printed.contains("vierzehn"));
    for (const Word& w : p1.words)
        EXPECT_NE(w.text, "vierzehn");
    // The next line below the memo is untouched.
    EXPECT_NE(wordAt(p1, "5213", 18.0, 220.0), nullptr);
    const auto below = wordsNear(p1, 140.0, 219.6);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0]->text, "nicht");
}

TEST(ReportPdfFile, UnwritableFileIsReportedAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("missing-folder/report.pdf");
    QString error;
    EXPECT_FALSE(writeReportPdf(file, ReportParameters(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

// Printing uses the same pages from the paper's corner, only those in the
// chosen range, under the job title.
TEST_F(ReportPdf, PrinterGetsThePagesOfItsRange)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = dir.filePath("printed.pdf");
    printer.setOutputFileName(file);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    QString error;
    ASSERT_TRUE(printReport(printer, buildReportParameters(buttWeld10(), numberedCache()), &error))
        << error.toStdString();
    EXPECT_EQ(printer.docName(), "Ausdruck für DIN EN ISO 5817");
    const auto pages = readBack(file);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(wordAt(pages[0], "2.", 18.0, 11.4), nullptr);
    EXPECT_NE(wordAt(pages[0], "R36", 150.0, 18.2), nullptr);
    EXPECT_NE(wordAt(pages[1], "R89", 150.0, 79.0), nullptr);
}
