// The printed record read back from its PDF: what every page says, page
// numbers, a long record over several pages with repeated table headers and
// no row split, and the catalogue's fingerprint.

#include "RecordPrint.h"

#include "FixtureRows.h"
#include "PdfReadBack.h"
#include "Verdict.h"

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

QString pageText(const PdfPage& page)
{
    QStringList words;
    for (const auto& w : page.words)
        words << w.text;
    return words.join(QLatin1Char(' '));
}

class RecordPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::pdftotextAvailable())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        ASSERT_TRUE(m_dir.isValid());
    }

    std::vector<PdfPage> print(const Record& r)
    {
        const QString file = m_dir.filePath(QStringLiteral("record.pdf"));
        QString error;
        EXPECT_TRUE(recordprint::writeRecordPdf(file, r, judgeRecord(r, m_rows), m_rows, kSha, &error))
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
    for (const char* expected : {
             "Prüfprotokoll", "A-4711", "Träger T3", "10.12.2026", "Halle 2", "R. Weber",
             "Ergebnis des Protokolls: zurückgewiesen", "Naht N1", "Naht N2",
             // the findings table: row, reference number, imperfection, value, exact limit, verdict
             "Nr.", "Ordnungsnr.", "Unregelmäßigkeit", "Messwert", "Grenzwert", "Ergebnis",
             "13 5011, 5012 Einbrandkerbe Wurzelseite 0,35 mm 0,33 mm zurückgewiesen",
             "Messwert 0,35 mm > Grenzwert 0,33 mm",
             "Ergebnis der Naht N1: zurückgewiesen", "Ergebnis der Naht N2: angenommen",
             "Bestätigung des Prüfers", "Unterschrift", "Seite 1 von 1"}) {
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
    EXPECT_TRUE(text.contains(QStringLiteral("Ergebnis des Protokolls: offen keine Naht erfasst"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Unterschrift")));
    EXPECT_TRUE(text.contains(QStringLiteral("Seite 1 von 1")));

    r.welds.push_back(weld("N1", "10"));
    const QString one = pageText(print(r).at(0));
    EXPECT_TRUE(one.contains(QStringLiteral("Naht N1 Stumpfnaht, Bewertungsgruppe C, t = 10 mm"))) << one.toStdString();
    EXPECT_TRUE(one.contains(QStringLiteral("keine Befunde Ergebnis der Naht N1: angenommen")));
    EXPECT_FALSE(one.contains(QStringLiteral("Messwert")));
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
