#pragma once
// Reads a PDF back as words with their boxes in millimetres, through
// pdftotext -bbox (poppler-utils).

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

#include <cmath>
#include <vector>

namespace veltrano::test {

inline bool pdftotextAvailable()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

constexpr double kPtToMm = 25.4 / 72.0;
constexpr double kTolerance = 0.2; // mm

struct Word {
    QString text;
    double left, top, right, bottom; // mm
};
struct PdfPage {
    double width = 0, height = 0; // mm
    std::vector<Word> words;
};

// The words of a PDF with their boxes, as pdftotext -bbox reads them back.
inline std::vector<PdfPage> readBack(const QString& pdf)
{
    QProcess p;
    p.start(QStandardPaths::findExecutable("pdftotext"), {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());

    std::vector<PdfPage> pages;
    static const QRegularExpression pageRe(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    static const QRegularExpression wordRe(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (const QString& chunk : html.split(QStringLiteral("</page>"))) {
        const auto pm = pageRe.match(chunk);
        if (!pm.hasMatch())
            continue;
        PdfPage page{pm.captured(1).toDouble() * kPtToMm, pm.captured(2).toDouble() * kPtToMm, {}};
        for (auto it = wordRe.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            QString text = m.captured(5);
            text.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
            page.words.push_back({text, m.captured(1).toDouble() * kPtToMm, m.captured(2).toDouble() * kPtToMm,
                                  m.captured(3).toDouble() * kPtToMm, m.captured(4).toDouble() * kPtToMm});
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

inline const Word* wordAt(const PdfPage& page, const QString& text, double left, double top)
{
    for (const Word& w : page.words)
        if (w.text == text && std::abs(w.left - left) <= kTolerance && std::abs(w.top - top) <= kTolerance)
            return &w;
    return nullptr;
}

inline std::vector<const Word*> wordsNear(const PdfPage& page, double left, double top)
{
    std::vector<const Word*> found;
    for (const Word& w : page.words)
        if (std::abs(w.left - left) <= kTolerance && std::abs(w.top - top) <= kTolerance)
            found.push_back(&w);
    return found;
}

} // namespace veltrano::test
