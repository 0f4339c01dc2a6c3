#pragma once
// How the report runs: the fixed texts of the report system and the zoom with
// which the preview opens.

#include <QString>

namespace veltrano::report {

inline const QString kNoDataMessage = QStringLiteral("Es stehen noch nicht genügend Daten zur Vefügung !");
inline const QString kNoDataCaption = QStringLiteral("Hinweis");
inline const QString kPreviewTitle = QStringLiteral("Seitenansicht - Druckvorschau");
inline const QString kStatusTitle = QStringLiteral("Report Status");
inline const QString kStatusFormat = QStringLiteral("Generating page %p");
inline const QString kPdfFormatName = QStringLiteral("Adobe Acrobat (PDF)");
inline const QString kPdfPattern = QStringLiteral("*.pdf");

inline constexpr int kMinZoom = 10;
inline constexpr int kMaxZoom = 200;

// The preview's zoom in percent for a screen of the given size in pixels:
// height / width * 100, computed in extended precision, kept as a 32-bit
// float, truncated to a whole percent and held within 10 to 200.  The page
// thus fills the screen's height about as a portrait sheet would.
int previewZoom(int screenWidth, int screenHeight);

// The status window's text while page `page` is generated.
QString statusText(int page);

} // namespace veltrano::report
