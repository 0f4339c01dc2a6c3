#include "recordprint/RecordPrintFlow.h"

#include <QFontMetricsF>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace veltrano::recordprint::detail {

namespace {

constexpr double kMmPerInch = 25.4;
const QChar kNoBreakSpace(0x00A0);

// A piece of text that a line may end after: a word, or the part of a word
// up to and with its hyphen or slash ("Wurzel-/" of "Wurzel-/Decklage").
struct Piece {
    QString text;
    bool spaceBefore = false;
};

bool isBreakMark(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('/');
}

std::vector<Piece> pieces(const QString& text)
{
    std::vector<Piece> out;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool space = !out.empty();
        qsizetype start = 0;
        for (qsizetype i = 1; i + 1 < word.size(); ++i) {
            // After a run of hyphens and slashes between two letters or digits.
            if (!isBreakMark(word[i]) || isBreakMark(word[i + 1]) || !word[i + 1].isLetterOrNumber())
                continue;
            qsizetype first = i;
            while (first > start && isBreakMark(word[first - 1]))
                --first;
            if (first > start && word[first - 1].isLetterOrNumber()) {
                out.push_back({word.mid(start, i + 1 - start), space});
                space = false;
                start = i + 1;
            }
        }
        out.push_back({word.mid(start), space});
    }
    return out;
}

bool isVowel(QChar c)
{
    static const QString vowels = QStringLiteral("aeiouyäöü");
    return vowels.contains(c.toLower());
}

bool isConsonant(QChar c)
{
    return c.isLetter() && !isVowel(c);
}

// How many consonants before a vowel begin its syllable: the longest group
// that German begins a syllable with ("schw", "spr", "br", "kl", "ch"), or
// one; "st" and "sp" only after a further consonant ("Werk-stoff",
// "Kis-te"), and never a cut inside "ck", "ch", "ph", "th" or "sch"
// ("Deck-lage").
int onsetLength(const QString& lowerRun)
{
    static const std::array<const char*, 30> groups{
        "schw", "schl", "schm", "schn", "schr", "sch", "spr", "str", "spl", "pfl", "pfr", "ch", "ck", "ph", "th",
        "qu",   "bl",   "br",   "dr",   "fl",   "fr",  "gl",  "gr",  "kl",  "kn",  "kr",  "pl", "pr", "tr", "zw"};
    const qsizetype size = lowerRun.size();
    qsizetype n = 1;
    for (const char* g : groups) {
        const qsizetype length = static_cast<qsizetype>(std::strlen(g));
        if (length > n && length <= size && lowerRun.endsWith(QLatin1String(g)))
            n = length;
    }
    if (n == 1 && size >= 3 && (lowerRun.endsWith(QLatin1String("st")) || lowerRun.endsWith(QLatin1String("sp"))))
        n = 2;
    const auto cutsGroup = [&](qsizetype k) {
        const auto at = [&](qsizetype from, const char* g) {
            return from >= 0 && lowerRun.mid(from, static_cast<qsizetype>(std::strlen(g))) == QLatin1String(g);
        };
        return k > 0 && (at(k - 1, "ck") || at(k - 1, "ch") || at(k - 1, "ph") || at(k - 1, "th") || at(k - 1, "sch") ||
                         at(k - 2, "sch"));
    };
    while (n > 1 && cutsGroup(size - n))
        --n;
    return static_cast<int>(n);
}

// The places where a word may be divided at a syllable, the last first; at
// least two letters stay on either side.  Places after a consonant come
// before those after a vowel: a part of a compound that begins with a vowel
// ("Querträger-anschluss") is then not robbed of the consonant before it
// ("Querträge-ranschluss").
std::vector<qsizetype> syllableBreaks(const QString& word)
{
    std::vector<qsizetype> out;
    for (qsizetype i = 1; i < word.size(); ++i) {
        if (!isVowel(word[i]) || !isConsonant(word[i - 1]))
            continue;
        qsizetype runStart = i - 1;
        while (runStart > 0 && isConsonant(word[runStart - 1]))
            --runStart;
        const QString run = word.mid(runStart, i - runStart).toLower();
        const qsizetype at = i - std::min<qsizetype>(onsetLength(run), run.size());
        if (at >= 2 && word.size() - at >= 2 && word[at - 1].isLetter())
            out.push_back(at);
    }
    std::reverse(out.begin(), out.end());
    std::stable_partition(out.begin(), out.end(), [&](qsizetype at) { return isConsonant(word[at - 1]); });
    return out;
}

} // namespace

QString bindUnits(QString text)
{
    static const QRegularExpression numberUnit(QStringLiteral("(\\d) (mm²|mm|°)(?![\\p{L}\\d])"));
    return text.replace(numberUnit, QStringLiteral("\\1") + kNoBreakSpace + QStringLiteral("\\2"));
}

Measure::Measure()
    : m_device(8, 8, QImage::Format_Mono)
{
    const int dotsPerMeter = static_cast<int>(std::lround(1200 / 0.0254));
    m_device.setDotsPerMeterX(dotsPerMeter);
    m_device.setDotsPerMeterY(dotsPerMeter);
}

double Measure::lineHeight(const TextStyle& s) const
{
    const QFontMetricsF metrics(QFont(printFont(s), &m_device), &m_device);
    return metrics.lineSpacing() / (m_device.logicalDpiY() / kMmPerInch);
}

double Measure::width(const QString& text, const TextStyle& s) const
{
    const QFontMetricsF metrics(QFont(printFont(s), &m_device), &m_device);
    return metrics.horizontalAdvance(text) / (m_device.logicalDpiY() / kMmPerInch);
}

QStringList Measure::lines(const QString& text, const TextStyle& s, double widthMm) const
{
    if (text.isEmpty())
        return {};
    const QFontMetricsF metrics(QFont(printFont(s), &m_device), &m_device);
    const double limit = widthMm * m_device.logicalDpiY() / kMmPerInch;
    const auto fits = [&](const QString& t) { return metrics.horizontalAdvance(t) <= limit; };
    const QString hyphen = QStringLiteral("-");

    QStringList out;
    QString line;
    for (Piece piece : pieces(bindUnits(text))) {
        for (;;) {
            const QString lead =
                line.isEmpty() ? QString() : line + (piece.spaceBefore ? QStringLiteral(" ") : QString());
            if (fits(lead + piece.text)) {
                line = lead + piece.text;
                break;
            }
            qsizetype cut = 0;
            if (!fits(piece.text)) {
                // Wider than a whole line: divided with a hyphen, at a
                // syllable where one fits, on an empty line anywhere.
                for (qsizetype at : syllableBreaks(piece.text)) {
                    if (fits(lead + piece.text.left(at) + hyphen)) {
                        cut = at;
                        break;
                    }
                }
                if (cut == 0 && line.isEmpty()) {
                    cut = piece.text.size() - 1;
                    while (cut > 1 && !fits(piece.text.left(cut) + hyphen))
                        --cut;
                }
            }
            if (cut > 0) {
                out << lead + piece.text.left(cut) + hyphen;
                line.clear();
                piece = {piece.text.mid(cut), false};
                continue;
            }
            if (line.isEmpty()) { // a single character wider than the line
                line = piece.text;
                break;
            }
            out << line;
            line.clear();
        }
    }
    if (!line.isEmpty())
        out << line;
    return out;
}

Flow::Flow(const Measure& m)
    : m_measure(m)
{
    m_pages.emplace_back();
}

void Flow::newPage()
{
    m_pages.emplace_back();
    m_y = m_contentTop;
    if (m_onNewPage)
        m_onNewPage(*this);
}

void Flow::paragraph(double left, double width, const QString& t, const TextStyle& s)
{
    const double h = m_measure.lineHeight(s);
    for (const QString& line : m_measure.lines(t, s, width)) {
        keep(h);
        text(left, line, s);
        m_y += h;
    }
}

double Flow::rowHeight(std::span<const Cell> cells, double pad) const
{
    double h = 0;
    for (const Cell& c : cells)
        h = std::max(h, c.lines.size() * m_measure.lineHeight(c.style) + c.more.size() * m_measure.lineHeight(kSmall));
    double least = 0;
    for (const Cell& c : cells)
        least = std::max(least, m_measure.lineHeight(c.style));
    return std::max(h, least) + 2 * pad;
}

void Flow::row(std::span<const Cell> cells, std::span<const double> widths, double height, double pad, bool ruleBelow)
{
    const double top = m_y;
    double x = kLeft;
    for (std::size_t c = 0; c < cells.size() && c < widths.size(); ++c) {
        double y = top + pad;
        for (const QString& line : cells[c].lines) {
            textAt(x + kCellPad, y, line, cells[c].style);
            y += m_measure.lineHeight(cells[c].style);
        }
        for (const QString& line : cells[c].more) {
            textAt(x + kCellPad, y, line, kSmall);
            y += m_measure.lineHeight(kSmall);
        }
        x += widths[c];
    }
    if (ruleBelow)
        rule(kLeft, top + height, kRight, top + height);
    m_y += height;
}

} // namespace veltrano::recordprint::detail
