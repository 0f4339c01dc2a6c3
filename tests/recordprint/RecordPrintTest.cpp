// The printed record read back from its PDF: what every page says, page
// numbers, a long record over several pages with repeated table headers and
// no row split, the overview of many welds, the title of the method, the
// provisional mark of open findings, clean line breaks and the catalogue's
// fingerprint.

#include "recordprint/RecordPrint.h"

#include "FixtureRows.h"
#include "PdfReadBack.h"
#include "record/Verdict.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>

namespace {

using namespace veltrano;
using namespace veltrano::record;
using veltrano::test::PdfPage;
using veltrano::test::readBack;

const std::string kSha = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

Weld weld(const std::string& id, const char* t)
{
    Weld w;
    w.id = id;
    w.seam = SeamType::Butt;
    w.level = QualityLevel::C;
    w.t = {t, false};
    w.l = {"100", false};
    w.b = {"12", false};
    w.bw = {"2", false};
    return w;
}

Finding finding(int row, const char* value, const std::string& location)
{
    Finding f;
    f.record = row;
    f.value = {value, false};
    f.location = location;
    return f;
}

// The words of a page in reading order; a no-break space reads as a space.
QString pageText(const PdfPage& page)
{
    QStringList words;
    for (const auto& w : page.words)
        words << w.text;
    return words.join(QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
}

// The words on the line of the first word that reads anchor, left to right.
QString lineOf(const PdfPage& page, const QString& anchor)
{
    const auto at = std::find_if(page.words.begin(), page.words.end(), [&](const auto& w) { return w.text == anchor; });
    if (at == page.words.end())
        return {};
    std::vector<test::Word> line;
    std::copy_if(page.words.begin(), page.words.end(), std::back_inserter(line),
                 [&](const auto& w) { return std::abs(w.top - at->top) < 0.3; });
    std::sort(line.begin(), line.end(), [](const auto& a, const auto& b) { return a.left < b.left; });
    QStringList words;
    for (const auto& w : line)
        words << w.text;
    return words.join(QLatin1Char(' ')).replace(QChar(0x00A0), QLatin1Char(' '));
}

// A page line by line, each line's words left to right: what a reader sees
// in a table whose rows stand close together.
QStringList linesOf(const PdfPage& page)
{
    std::vector<test::Word> words = page.words;
    std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
        return std::abs(a.top - b.top) < 0.3 ? a.left < b.left : a.top < b.top;
    });
    QStringList lines;
    double top = -1;
    for (const auto& w : words) {
        QString text = w.text;
        text.replace(QChar(0x00A0), QLatin1Char(' '));
        if (lines.isEmpty() || std::abs(w.top - top) >= 0.3) {
            lines << text;
            top = w.top;
        } else {
            lines.back() += QLatin1Char(' ') + text;
        }
    }
    return lines;
}

// The words between two distances from the paper's left edge, line by line.
QString columnText(const PdfPage& page, double left, double right)
{
    PdfPage column;
    std::copy_if(page.words.begin(), page.words.end(), std::back_inserter(column.words),
                 [&](const auto& w) { return w.left >= left && w.left < right; });
    return linesOf(column).join(QLatin1Char(' '));
}

QString allText(const std::vector<PdfPage>& pages)
{
    QStringList texts;
    for (const auto& p : pages)
        texts << pageText(p);
    return texts.join(QLatin1Char(' '));
}

class RecordPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::pdftotextAvailable())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(m_dir.isValid());
    }

    std::vector<PdfPage> print(const Record& r, const QString& recordFile = {})
    {
        const QString file = m_dir.filePath(QStringLiteral("record.pdf"));
        QString error;
        EXPECT_TRUE(recordprint::writeRecordPdf(file, r, judgeRecord(r, m_rows), m_rows, kSha, &error, recordFile))
            << error.toStdString();
        return readBack(file);
    }

    FixtureRows m_rows;
    QTemporaryDir m_dir;
};

TEST_F(RecordPrintTest, OnePageCarriesHeaderFindingsVerdictsOriginAndSignature)
{
    Record r;
    r.inspection.order = "A-4711";
    r.inspection.component = "Träger T3";
    r.inspection.inspector = "R. Weber";
    r.inspection.place = "Halle 2";
    r.inspection.date = "2026-12-10";
    Weld w = weld("N1", "3.3");
    w.findings.push_back(finding(13, "0.35", "Wurzelseite"));
    w.findings.push_back(finding(1, "2", "Decklage"));
    r.welds.push_back(w);
    Weld ok = weld("N2", "10");
    ok.findings.push_back(finding(10, "1", "Mitte"));
    r.welds.push_back(ok);

    const auto pages = print(r);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width, 210.0, 0.5);
    EXPECT_NEAR(pages[0].height, 297.0, 0.5);
    const QString text = pageText(pages[0]);
    for (const char* expected :
         {"Prüfprotokoll", "A-4711", "Träger T3", "10.12.2026", "Halle 2", "R. Weber",
          "Ergebnis des Protokolls: zurückgewiesen", "Naht N1", "Naht N2",
          // the findings table: row, reference number, imperfection, value, exact limit, verdict
          "Nr.", "Ordnungsnr.", "Unregelmäßigkeit", "Messwert", "Grenzwert", "Ergebnis",
          "13 5011, 5012 Einbrandkerbe Wurzelseite 0,35 mm ≤ 0,33 mm zurückgewiesen",
          "Messwert 0,35 mm > Grenzwert 0,33 mm", "Ergebnis der Naht N1: zurückgewiesen",
          "Ergebnis der Naht N2: angenommen", "Bestätigung des Prüfers", "Unterschrift", "Seite 1 von 1"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n in: " << text.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Veltrano %1").arg(recordprint::programVersion())));
    EXPECT_TRUE(text.contains(QString::fromStdString(kSha)));
    EXPECT_TRUE(text.contains(QStringLiteral("gedruckt am %1").arg(QDate::currentDate().toString("dd.MM.yyyy"))));
}

TEST_F(RecordPrintTest, EightWeldsOfTwelveFindingsRunOverPagesWithHeadersRepeatedAndNoRowSplit)
{
    Record r;
    r.inspection.order = "L-8";
    const int rowsUsed[] = {1, 10, 12, 13, 15, 16, 20, 29, 30, 38, 51, 57};
    for (int i = 1; i <= 8; ++i) {
        Weld w = weld("N" + std::to_string(i), "10");
        for (int k = 1; k <= 12; ++k) {
            // A location long enough to wrap: its first and last word must
            // stand on the same page.
            const std::string tag = std::to_string(i) + "x" + std::to_string(k);
            Finding f = finding(rowsUsed[k - 1], "0.5",
                                "Anfang" + tag + " Wurzelseite bei 120 mm ab Nahtanfang, Lage 3 Ende" + tag);
            f.length = WrittenNumber{"10", false};
            w.findings.push_back(f);
        }
        r.welds.push_back(w);
    }

    const auto pages = print(r);
    ASSERT_GE(pages.size(), 3u);
    const QString total = QString::number(pages.size());
    int rowsSeen = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const QString text = pageText(pages[p]);
        EXPECT_TRUE(text.contains(QStringLiteral("Seite %1 von %2").arg(p + 1).arg(total))) << "page " << p + 1;
        bool hasRows = false;
        for (const auto& word : pages[p].words) {
            if (!word.text.startsWith(QLatin1String("Anfang")))
                continue;
            hasRows = true;
            ++rowsSeen;
            const QString tag = word.text.mid(6);
            EXPECT_TRUE(text.contains(QStringLiteral("Ende") + tag)) << "row " << tag.toStdString() << " split";
            EXPECT_LT(word.bottom, 280.0) << "row in the footer";
        }
        if (hasRows) {
            // Every page with findings shows the table's header.
            EXPECT_TRUE(text.contains(QStringLiteral("Ordnungsnr. Unregelmäßigkeit Ort Messwert Grenzwert Ergebnis")))
                << "page " << p + 1;
        }
        if (p > 0) {
            EXPECT_TRUE(text.startsWith(QStringLiteral("Prüfprotokoll – Auftrag L-8"))) << text.toStdString();
        }
    }
    EXPECT_EQ(rowsSeen, 96);
    EXPECT_TRUE(pageText(pages.back()).contains(QStringLiteral("Unterschrift")));
}

TEST_F(RecordPrintTest, RecordWithoutWeldsOrFindingsStillPrintsItsVerdictAndSignatureFields)
{
    Record r;
    const auto empty = print(r);
    ASSERT_EQ(empty.size(), 1u);
    const QString text = pageText(empty[0]);
    EXPECT_TRUE(text.contains(QStringLiteral("Ergebnis des Protokolls: offen keine Naht erfasst")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Unterschrift")));
    EXPECT_TRUE(text.contains(QStringLiteral("Seite 1 von 1")));

    r.welds.push_back(weld("N1", "10"));
    const QString one = pageText(print(r).at(0));
    EXPECT_TRUE(one.contains(QStringLiteral("Naht N1 Stumpfnaht, Bewertungsgruppe C, t = 10 mm"))) << one.toStdString();
    EXPECT_TRUE(one.contains(QStringLiteral("keine Befunde Ergebnis der Naht N1: angenommen")));
    EXPECT_FALSE(one.contains(QStringLiteral("Messwert")));
}

TEST_F(RecordPrintTest, LimitIsPrintedWithItsDirection)
{
    Record r;
    Weld w = weld("N1", "3.3");
    w.findings.push_back(finding(13, "0.33", "Wurzelseite")); // a maximum
    w.findings.push_back(finding(20, "120", "Decklage"));     // an angle: a minimum
    w.findings.push_back(finding(1, "2", "Mitte"));           // a verdict text: no direction
    r.welds.push_back(w);
    const PdfPage page = print(r).at(0);
    const struct {
        const char* location;
        const char* line;
    } rows[] = {{"Wurzelseite", "13 5011, 5012 Einbrandkerbe Wurzelseite 0,33 mm ≤ 0,33 mm angenommen"},
                {"Decklage", "20 505 Schroffer Nahtübergang Decklage 120° ≥ 110° angenommen"},
                {"Mitte", "1 100 Riss Mitte 2 nicht zulässig zurückgewiesen"}};
    for (const auto& row : rows) {
        const QString line = lineOf(page, QString::fromUtf8(row.location));
        EXPECT_EQ(line.toStdString(), row.line);
    }
}

TEST_F(RecordPrintTest, TitleNamesTheRecordsMethod)
{
    const struct {
        std::optional<std::string> method;
        const char* title; // the words the first page starts with
    } cases[] = {
        {"VT", "Prüfprotokoll Sichtprüfung von Schweißnähten nach DIN EN ISO 5817 Ergebnis"},
        {" vt 2 ", "Prüfprotokoll Sichtprüfung von Schweißnähten nach DIN EN ISO 5817 Ergebnis"},
        {"RT", "Prüfprotokoll nach DIN EN ISO 5817 Prüfverfahren: RT Ergebnis"},
        {"UT (phased array)", "Prüfprotokoll nach DIN EN ISO 5817 Prüfverfahren: UT (phased array) Ergebnis"},
        {std::nullopt, "Prüfprotokoll nach DIN EN ISO 5817 Prüfverfahren: nicht angegeben Ergebnis"},
    };
    for (const auto& c : cases) {
        Record r;
        r.inspection.method = c.method;
        const QString text = pageText(print(r).at(0));
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.title))) << c.title << "\n in: " << text.toStdString();
        EXPECT_EQ(text.count(QStringLiteral("Sichtprüfung")),
                  QString::fromUtf8(c.title).count(QStringLiteral("Sichtprüfung")))
            << text.toStdString();
    }
}

TEST_F(RecordPrintTest, TwoHundredWeldsAreSummedUpFirstWithTheOverviewHeaderOnEveryPageOfIt)
{
    Record r;
    for (int i = 1; i <= 200; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "S%03d", i);
        Weld w = weld(id, "10");
        w.welder = "W" + std::to_string(i % 7);
        if (i == 17)
            w.findings.push_back(finding(13, "2", "Mitte")); // rejected
        if (i == 42) {
            w.level = QualityLevel::D;
            w.findings.push_back(finding(29, "1", "Ende")); // awaits the inspector
            w.findings.push_back(finding(10, "1", "Ende"));
        }
        r.welds.push_back(w);
    }
    const auto pages = print(r);
    const QString header = QStringLiteral("Naht Nahtart Gruppe Maße in mm Schweißer Befunde Ergebnis");

    // The overview stands on the first pages, every weld once on a line of
    // its own with its verdict, in the record's order, before any details.
    static const QRegularExpression weldLine(
        QStringLiteral("^S\\d{3} Stumpfnaht [CD] t 10, l 100, b 12, bw 2 W\\d \\d( \\(1 offen\\))? "
                       "(angenommen|zurückgewiesen|offen)$"));
    QStringList order;
    std::size_t overviewPages = 0;
    for (const auto& page : pages) {
        const QStringList lines = linesOf(page);
        if (!lines.contains(header))
            break;
        ++overviewPages;
        EXPECT_FALSE(pageText(page).contains(QStringLiteral("Ordnungsnr."))) << "details among the overview";
        for (const QString& line : lines) {
            if (!line.startsWith(QLatin1Char('S')) || !line.at(1).isDigit())
                continue;
            EXPECT_TRUE(weldLine.match(line).hasMatch()) << line.toStdString();
            order << line.left(4);
        }
    }
    ASSERT_GE(overviewPages, 1u) << pageText(pages[0]).toStdString();
    EXPECT_LE(overviewPages, 3u) << "the overview of 200 welds takes at most three pages";
    ASSERT_EQ(order.size(), 200);
    EXPECT_EQ(order.front(), QStringLiteral("S001"));
    EXPECT_EQ(order.back(), QStringLiteral("S200"));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(order.removeDuplicates(), 0);

    QStringList overview;
    for (std::size_t p = 0; p < overviewPages; ++p)
        overview += linesOf(pages[p]);
    QStringList all = overview;
    for (std::size_t p = overviewPages; p < pages.size(); ++p)
        all += linesOf(pages[p]);
    const auto lastInOverview =
        std::find_if(all.begin(), all.end(), [](const QString& l) { return l.startsWith("S200 "); });
    EXPECT_LT(lastInOverview - all.begin(), all.indexOf(QStringLiteral("Naht S001")))
        << "details before the overview ends";
    EXPECT_TRUE(overview.contains(QStringLiteral("S017 Stumpfnaht C t 10, l 100, b 12, bw 2 W3 1 zurückgewiesen")));
    EXPECT_TRUE(overview.contains(QStringLiteral("S042 Stumpfnaht D t 10, l 100, b 12, bw 2 W0 2 (1 offen) offen")));
    EXPECT_TRUE(overview.contains(QStringLiteral("Übersicht der Nähte (Fortsetzung)")));

    // A single weld needs no overview.
    r.welds.resize(1);
    EXPECT_FALSE(allText(print(r)).contains(header));
}

TEST_F(RecordPrintTest, OpenFindingsMarkEveryPageAsProvisional)
{
    Record r;
    r.inspection.order = "V-1";
    for (int i = 1; i <= 4; ++i) {
        Weld w = weld("N" + std::to_string(i), "10");
        w.level = QualityLevel::D;
        for (int k = 0; k < 12; ++k)
            w.findings.push_back(finding(10, "1", "Stelle " + std::to_string(k)));
        r.welds.push_back(w);
    }
    r.welds[1].findings[3] = finding(29, "1", "offen 1");
    r.welds[3].findings[7] = finding(30, "1", "offen 2");

    const auto pages = print(r);
    ASSERT_GE(pages.size(), 2u);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const QString text = pageText(pages[p]);
        EXPECT_TRUE(text.contains(QStringLiteral("Ergebnis des Protokolls: offen"))) << "page " << p + 1;
        EXPECT_TRUE(text.contains(QStringLiteral("vorläufig – 2 Befunde offen"))) << "page " << p + 1;
    }

    r.welds[3].findings[7] = finding(10, "1", "geschlossen");
    const auto one = print(r);
    EXPECT_TRUE(allText(one).contains(QStringLiteral("vorläufig – 1 Befund offen")));
    r.welds[1].findings[3] = finding(10, "1", "geschlossen");
    EXPECT_FALSE(allText(print(r)).contains(QStringLiteral("vorläufig")));
}

TEST_F(RecordPrintTest, WordsBreakOnlyWithAHyphenAndNumbersKeepTheirUnits)
{
    const QString longWord = QStringLiteral("Nahtübergangsbereichsmitte");
    Record r;
    r.inspection.component = "Querträgeranschlussblech";
    Weld w = weld("N1", "10");
    w.level = QualityLevel::D;
    Finding f = finding(29, "1,25", longWord.toStdString() + " Wurzel-/Decklage");
    f.value.quoted = true;
    f.length = WrittenNumber{"20", false};
    w.findings.push_back(f);
    Finding g = finding(13, "0.5", "Seite");
    g.length = WrittenNumber{"120", false};
    w.findings.push_back(g);
    r.welds.push_back(w);
    const auto pages = print(r);
    ASSERT_EQ(pages.size(), 1u);
    const PdfPage& page = pages[0];
    // The columns "Ort" (89 to 119 mm) and "Messwert" (119 to 137 mm), line by line.
    const QString location = columnText(page, 89.0, 119.0);
    const QString measured = columnText(page, 119.0, 137.0);

    EXPECT_FALSE(location.contains(longWord)) << "the word fits its column; the test needs it broken";
    QString joined = location;
    joined.remove(QStringLiteral("- "));
    EXPECT_TRUE(joined.contains(longWord)) << "broken without a hyphen: " << location.toStdString();
    EXPECT_TRUE(location.contains(QStringLiteral("Wurzel-/ Decklage")) ||
                location.contains(QStringLiteral("Wurzel-/Decklage")))
        << "an existing hyphen is a break of its own: " << location.toStdString();
    EXPECT_TRUE(measured.contains(QStringLiteral("Messwert 1,25 Länge 20 mm"))) << measured.toStdString();

    // A unit stands on the line of its number, never alone at a line's start.
    int units = 0;
    for (const auto& word : page.words) {
        const QString& u = word.text;
        if (u.endsWith(QStringLiteral("mm")) && u.contains(QChar(0x00A0))) {
            ++units; // read back as one word with its number
            continue;
        }
        if (u != QStringLiteral("mm") && u != QStringLiteral("mm²"))
            continue;
        ++units;
        const bool afterItsNumber = std::any_of(page.words.begin(), page.words.end(), [&](const auto& n) {
            return std::abs(n.top - word.top) < 0.3 && n.right <= word.left && word.left - n.right < 1.5 &&
                   n.text.back().isDigit();
        });
        EXPECT_TRUE(afterItsNumber) << "a unit apart from its number at " << word.left << ", " << word.top;
    }
    EXPECT_GE(units, 6);
}

TEST_F(RecordPrintTest, PreviewAndPdfPrintTheRecordsFileNameAndNoFolder)
{
    Record r;
    r.welds.push_back(weld("N1", "10"));
    const QString path = m_dir.filePath(QStringLiteral("auftraege/A-4711.vrec"));

    const QString pdf = allText(print(r, path));
    EXPECT_TRUE(pdf.contains(QStringLiteral("Datei: A-4711.vrec"))) << pdf.toStdString();
    EXPECT_FALSE(pdf.contains(QStringLiteral("auftraege"))) << pdf.toStdString();

    // The preview's pages are laid out from the same data: the same words.
    recordprint::RecordPrintInfo info;
    info.programVersion = recordprint::programVersion();
    info.catalogueSha256 = QString::fromStdString(kSha);
    info.printed = QDateTime::currentDateTime();
    info.fileName = path;
    QStringList preview;
    for (const auto& page : recordprint::layoutRecord(r, judgeRecord(r, m_rows), m_rows, info))
        for (const auto& t : page.texts)
            preview << t.text;
    const QString previewText = preview.join(QLatin1Char(' '));
    EXPECT_TRUE(previewText.contains(QStringLiteral("A-4711.vrec")));
    EXPECT_FALSE(previewText.contains(QStringLiteral("auftraege"))) << previewText.toStdString();

    // A record never saved has no file line at all.
    EXPECT_FALSE(allText(print(r)).contains(QStringLiteral("Datei:")));
}

TEST(RecordPrintFile, UnwritableFileIsRefusedWithItsName)
{
    FixtureRows rows;
    Record r;
    QString error;
    const QString file = QStringLiteral("/nonexistent-folder/record.pdf");
    EXPECT_FALSE(recordprint::writeRecordPdf(file, r, judgeRecord(r, rows), rows, kSha, &error));
    EXPECT_TRUE(error.contains(file)) << error.toStdString();
}

TEST(RecordPrintFile, CatalogueFingerprintIsTheSha256OfTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("abc"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    EXPECT_EQ(recordprint::fileSha256(path.toStdString()), kSha);
    EXPECT_EQ(recordprint::fileSha256(dir.filePath(QStringLiteral("missing")).toStdString()), "");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
