#pragma once
// The evaluation report as data: three A4 portrait pages and every item on
// them, placed in millimetres from the paper's top-left corner.  The layout
// holds no logic; each variable text is a named parameter.

#include <QString>

#include <vector>

namespace veltrano::report {

enum class ItemKind {
    StaticText, // a fixed text on one line
    ParamField, // a parameter's text on one line, never wrapped or cut
    ParamMemo,  // a parameter's text word-wrapped in a box, only whole lines that fit
    Line,       // a black horizontal line one device pixel wide
};

struct FontStyle {
    QString family = QStringLiteral("Arial");
    double pointSize = 12.0;
    bool bold = false;
    bool underline = false;
};

struct ReportItem {
    ItemKind kind = ItemKind::StaticText;
    double leftMm = 0;
    double topMm = 0;
    double widthMm = 0;  // memo box width, or the line's length
    double heightMm = 0; // memo box height
    QString text;        // the fixed text, or the parameter's name
    FontStyle font;
};

struct ReportPage {
    QString name;
    QString next; // the page that follows; empty on the last page
    double widthMm = 210.0;
    double heightMm = 297.0;
    std::vector<ReportItem> items;
};

struct ReportLayout {
    QString name;
    std::vector<ReportPage> pages; // in print order
};

// The one report of the program, built once.
const ReportLayout& evaluationReportLayout();

} // namespace veltrano::report
