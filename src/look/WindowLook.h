#pragma once
// The look shared by the program's windows: the designer's fonts mapped to
// the fonts of this system, the image list of menu and toolbar, and the
// program icon.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

class QWidget;

namespace veltrano {

// The windows were laid out in "MS Sans Serif".  That font is not installed
// on a free desktop, and fontconfig would answer the name with an arbitrary
// fallback, so the name is mapped to a sans-serif of similar width once per
// program.  Call before the first window is built; calling again is harmless.
void installFontSubstitutes();

// A font of the given pixel height (the designer's font heights are pixels
// at 96 dpi; high-DPI scaling scales them together with the layout).
QFont windowFont(int pixelSize, const QString& family = QStringLiteral("MS Sans Serif"));

// The designer's font styles and text colours.
QFont bold(QFont font);
QFont boldItalic(QFont font);
void setTextColour(QWidget* widget, const QColor& colour);

// The 13 images of the menu and the toolbar, by their index in the image list:
//  0 manual, 1 print, 2 help, 3 printer setup, 4 preview, 5 backup,
//  6 program end, 7 first, 8 previous, 9 next, 10 last record,
// 11 info, 12 recalculation.
constexpr int kImageCount = 13;
QIcon imageListIcon(int index);

// The image of the inspection record command, beside the image list.
QIcon recordIcon();

// The program icon, also shown by the info window.
QIcon programIcon();

// The items of the seam-type and quality-level selectors of both windows:
// "Stumpfnaht", "Kehlnaht" and "B (hoch)", "C (mittel)", "D (niedrig)", in
// the order of their item indexes.
QStringList seamWords();
QStringList levelWords();

} // namespace veltrano
