#include "report/ReportLayout.h"

namespace veltrano::report {

namespace {

// One result line: a label at the left margin and, beside it, the item that
// prints one parameter.  A left edge of 0 puts the item in its page's result
// column; a memo has a box width and height.
struct ResultLine {
    int page;
    const char16_t* param;
    const char16_t* label;
    double labelTop;
    double itemTop;
    double itemLeft;
    double memoWidth;
    double memoHeight;
};

constexpr double kLabelLeft = 18.0;
constexpr double kResultColumnPage1 = 140.0;
constexpr double kResultColumnLater = 150.0;

constexpr ResultLine kResultLines[] = {
    {1, u"IW1", u"100   Risse", 68.0, 68.0, 0, 0, 0},
    {1, u"IW2", u"104   Endkraterriß", 74.6, 74.4, 0, 0, 0},
    {1, u"IW3", u"2017 Oberflächenpore", 81.6, 82.0, 0, 0, 0},
    {1, u"IW4", u"2025 offener Endkrater", 89.0, 88.6, 0, 0, 0},
    {1, u"IW5", u"401   Binderfehler (unvollst. Bindung)", 95.6, 95.0, 0, 0, 0},
    {1, u"IW6", u"401  Mikro-Bindefehler", 102.4, 103.0, 0, 0, 0},
    {1, u"IW7", u"4021 ungenügender Wurzeleinbrand", 108.8, 109.6, 0, 0, 0},
    // Records 12/13 (IW8) hold the undercut limits for either seam, records
    // 14/15 (IW9) the root groove limits of a butt weld; each value stands
    // beside the imperfection it was computed for.
    {1, u"IW9", u"5013 Wurzelkerbe", 116.2, 116.6, 0, 0, 0},
    {1, u"IW8", u"5011 durchlaufende und nichtdurchlauf. Einbrandkerbe", 123.0, 122.8, 0, 0, 0},
    {1, u"IW10", u"502;503   zu große Nahtüberhöhung", 131.0, 130.6, 0, 0, 0},
    {1, u"IW11", u"504  zu große Wurzelüberhöhung ", 138.8, 137.2, 0, 0, 0},
    {1, u"IW12", u"505  schroffer Nahtübergang", 145.0, 144.6, 0, 0, 0},
    {1, u"IW13", u"506  Schweißgutüberlauf", 152.0, 151.6, 0, 0, 0},
    {1, u"IW14", u"509;511Verlaufenes Schweißgut; unvollständ. gefüllte Wurzel", 159.0, 158.6, 0, 0, 0},
    {1, u"IW15", u"510  Durchbrand", 166.0, 165.6, 0, 0, 0},
    {1, u"IW16", u"512  Übermäßige Assymetrie der Kehlnaht", 173.0, 173.0, 0, 0, 0},
    {1, u"IW17", u"515  Wurzelrückfall", 180.0, 180.0, 0, 0, 0},
    {1, u"IW18", u"516  Wurzelporosität", 187.4, 186.6, 0, 0, 0},
    {1, u"iW19", u"517  Ansatzfehler", 194.2, 195.0, 0, 62.0, 21.6},
    {1, u"IW20", u"5213  zu kleine Kehlnahtdicke", 220.0, 219.6, 0, 0, 0},
    {1, u"IW21", u"5214  zu große Kehlnahtdicke", 227.0, 227.8, 0, 0, 0},
    {1, u"IW22", u"601  Zündstelle", 234.4, 234.4, 0, 64.2, 20.4},
    {1, u"IW23", u"602  Schweißspritzer", 258.4, 259.2, 0, 62.4, 21.6},
    {2, u"IW24", u"100   Riss", 18.8, 18.2, 0, 0, 0},
    {2, u"IW25", u"1001 Mikrorisse", 26.2, 26.8, 0, 55.0, 19.0},
    {2, u"IW26", u"2011;2012  Pore,Porosität (gleichmäßig verteilt - einlagig)", 50.0, 50.0, 0, 0, 0},
    {2, u"IW27", u"2011;2012  Pore,Porosität (gleichmäßig verteilt - mehrlagig)", 56.6, 57.0, 0, 0, 0},
    {2, u"IW28", u"2011;2012  Pore,Porosität (gleichmäßig verteilt - gebrochene OF)", 63.2, 64.0, 0, 0, 0},
    {2, u"IW29", u"2011;2012  Pore,Porosität (gleichmäßig verteilt)", 71.0, 71.0, 0, 0, 0},
    {2, u"IW30", u"2013  Porennest - Größtmaß projezierter Fläche der Unregelmä -", 78.4, 78.0, 150.2, 0, 0},
    {2, u"IW31", u"2013  Porennest - Einzelpore", 85.0, 85.0, 0, 0, 0},
    {2, u"IW32", u"2014  Porenzeile - einlagig", 92.0, 92.0, 0, 0, 0},
    {2, u"IW33", u"2014  Porenzeile - mehrlagig", 98.2, 99.0, 0, 0, 0},
    {2, u"IW34", u"2014  Porenzeile", 106.0, 106.0, 0, 0, 0},
    {2, u"IW35", u"2014 Porenzeile - Einzelpore", 113.0, 113.0, 0, 0, 0},
    {2, u"IW36", u"2015;2016 Gaskanal, Schlauchpore", 120.0, 120.0, 0, 0, 0},
    {2, u"IW37", u"202   Lunker", 127.0, 127.0, 0, 0, 0},
    {2, u"IW38", u"2024  Endkraterlunker", 133.6, 134.0, 0, 0, 0},
    {2, u"IW39", u"300   Fester Einschluß", 140.6, 141.0, 0, 0, 0},
    {2, u"IW40", u"301   Schlackeneinschlüsse", 148.0, 148.0, 0, 0, 0},
    {2, u"IW41", u"302   Flussmitteleinschluß", 155.8, 155.0, 0, 0, 0},
    {2, u"IW42", u"303   Oxideinschluß", 162.0, 162.0, 0, 0, 0},
    {2, u"IW43", u"304   Metallischer Einschluß (außer Cu)", 168.6, 169.0, 0, 0, 0},
    {2, u"IW44", u"3042  Kupfereinschluß", 175.6, 176.0, 0, 0, 0},
    {2, u"IW45", u"401   Bindefehler (unvollständige Bindung)", 183.0, 183.0, 0, 0, 0},
    {2, u"IW46", u"4011  Flankenbindefehler", 190.0, 190.0, 0, 0, 0},
    {2, u"IW47", u"4012  Lagenbindefehler", 197.4, 197.0, 0, 0, 0},
    {2, u"IW48", u"4013  Wurzelbindefehler", 204.0, 204.0, 0, 0, 0},
    {2, u"IW49", u"402    Ungenügende Durchschweißung", 210.4, 211.0, 0, 0, 0},
    {2, u"IW50", u"402   Ungenügende Durchschw. - nicht voll durchgeschweißt", 217.6, 218.0, 0, 0, 0},
    {2, u"IW51", u"402   Ungenügende Durchschw. - durchgeschweißt", 224.6, 224.6, 0, 0, 0},
    {3, u"IW52", u"507   Kantenversatz", 21.0, 21.0, 0, 0, 0},
    {3, u"IW53", u"507   Kantenversatz - Umfangschweißungen", 28.4, 28.0, 0, 0, 0},
    {3, u"IW54", u"508   Winkelversatz", 35.4, 35.0, 0, 0, 0},
    {3, u"IW55", u"617   Schlechte Passung bei Kehlnähten", 42.8, 42.0, 150.4, 0, 0},
    {3, u"IW56", u"Mehrfachunregelmäßigkeit in beliebigem Querschnitt", 72.0, 72.0, 0, 0, 0},
    {3, u"IW57", u"Mehrfachunregelmäßigkeit ", 78.6, 79.0, 0, 0, 0},
};

FontStyle regular(double size = 12.0)
{
    FontStyle f;
    f.pointSize = size;
    return f;
}

FontStyle bold(double size = 12.0)
{
    FontStyle f = regular(size);
    f.bold = true;
    return f;
}

FontStyle heading(double size)
{
    FontStyle f = bold(size);
    f.underline = true;
    return f;
}

ReportItem text(double left, double top, const QString& t, const FontStyle& font = regular())
{
    ReportItem i;
    i.kind = ItemKind::StaticText;
    i.leftMm = left;
    i.topMm = top;
    i.text = t;
    i.font = font;
    return i;
}

ReportItem field(double left, double top, const QString& param, const FontStyle& font = regular())
{
    ReportItem i = text(left, top, param, font);
    i.kind = ItemKind::ParamField;
    return i;
}

ReportItem memo(double left, double top, double width, double height, const QString& param)
{
    ReportItem i = text(left, top, param);
    i.kind = ItemKind::ParamMemo;
    i.widthMm = width;
    i.heightMm = height;
    return i;
}

ReportItem line(double left, double top, double length)
{
    ReportItem i;
    i.kind = ItemKind::Line;
    i.leftMm = left;
    i.topMm = top;
    i.widthMm = length;
    return i;
}

void addResultLines(ReportPage& page, int pageNo)
{
    const double column = pageNo == 1 ? kResultColumnPage1 : kResultColumnLater;
    for (const ResultLine& r : kResultLines) {
        if (r.page != pageNo)
            continue;
        const QString param = QString::fromUtf16(r.param);
        page.items.push_back(text(kLabelLeft, r.labelTop, QString::fromUtf16(r.label)));
        const double left = r.itemLeft > 0 ? r.itemLeft : column;
        if (r.memoWidth > 0)
            page.items.push_back(memo(left, r.itemTop, r.memoWidth, r.memoHeight, param));
        else
            page.items.push_back(field(left, r.itemTop, param));
    }
}

ReportLayout buildLayout()
{
    ReportLayout layout;
    layout.name = QStringLiteral("Report1");

    ReportPage p1;
    p1.name = QStringLiteral("Page1");
    p1.next = QStringLiteral("Page2");
    p1.items = {
        text(25.0, 14.0, QStringLiteral("Bewertung einer"), bold()),
        field(64.6, 14.0, QStringLiteral("Titel1"), bold()),
        text(99.5, 14.0, QStringLiteral(",  Bewertungsgruppe :"), bold()),
        field(149.9, 14.0, QStringLiteral("Titel2"), bold()),
        line(25.0, 22.2, 162.3),
        text(25.0, 32.8, QStringLiteral("Materialdicke [mm] :")),
        field(68.4, 32.8, QStringLiteral("MD")),
        text(114.7, 32.8, QStringLiteral("Nahtbreite [mm]    :")),
        field(154.5, 32.8, QStringLiteral("NB")),
        text(25.8, 43.7, QStringLiteral("Nahtlänge [mm]     :")),
        field(68.4, 44.4, QStringLiteral("NL")),
        text(114.3, 43.7, QStringLiteral("Wurzelbreite [mm] :")),
        field(154.2, 44.4, QStringLiteral("WB")),
        text(18.0, 56.1, QStringLiteral("1. Oberflächenunregelmäßigkeiten"), heading(14.0)),
    };
    addResultLines(p1, 1);

    ReportPage p2;
    p2.name = QStringLiteral("Page2");
    p2.next = QStringLiteral("Page3");
    p2.items.push_back(text(18.0, 11.4, QStringLiteral("2.  Innere Unregelmäßigkeiten"), heading(12.0)));
    addResultLines(p2, 2);

    ReportPage p3;
    p3.name = QStringLiteral("Page3");
    p3.items.push_back(text(18.0, 11.0, QStringLiteral("3.  Unregelmäßigkeit in der Nahtgeometrie"), heading(12.0)));
    p3.items.push_back(text(18.0, 62.0, QStringLiteral("4.  Mehrfachunregelmäßigkeiten"), heading(12.0)));
    addResultLines(p3, 3);

    layout.pages = {p1, p2, p3};
    return layout;
}

} // namespace

const ReportLayout& evaluationReportLayout()
{
    static const ReportLayout layout = buildLayout();
    return layout;
}

} // namespace veltrano::report
