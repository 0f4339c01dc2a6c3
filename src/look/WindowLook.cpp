#include "look/WindowLook.h"

#include "evaluation/WeldWords.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QWidget>

#include <array>

// Resources of a static library are registered by name.
static void initWindowResources()
{
    Q_INIT_RESOURCE(veltrano);
}

namespace veltrano {
namespace {

// Renders one SVG image at every size the toolbar, the menu and the window
// frame may ask for, so the images stay sharp at any scale factor.
QIcon svgIcon(const QString& path, std::initializer_list<int> sizes)
{
    initWindowResources();
    QSvgRenderer renderer(path);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// The images are drawn once per run: the menu and the toolbar show the same
// ones and the program icon stands on every window.  The drawn icons go with
// the application, before the window system they were drawn for.
QHash<QString, QIcon>* gDrawnIcons = nullptr;

QIcon drawnSvgIcon(const QString& path, std::initializer_list<int> sizes)
{
    if (!QCoreApplication::instance())
        return svgIcon(path, sizes);
    if (!gDrawnIcons) {
        gDrawnIcons = new QHash<QString, QIcon>;
        qAddPostRoutine([] {
            delete gDrawnIcons;
            gDrawnIcons = nullptr;
        });
    }
    const auto known = gDrawnIcons->constFind(path);
    if (known != gDrawnIcons->constEnd())
        return *known;
    const QIcon icon = svgIcon(path, sizes);
    gDrawnIcons->insert(path, icon);
    return icon;
}

} // namespace

void installFontSubstitutes()
{
    // Liberation Sans has the metrics of the usual Windows sans-serif;
    // DejaVu Sans is the fallback when it is missing.
    const QString designerFont = QStringLiteral("MS Sans Serif");
    if (QFont::substitutes(designerFont).isEmpty())
        QFont::insertSubstitutions(designerFont, {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

QFont windowFont(int pixelSize, const QString& family)
{
    installFontSubstitutes();
    QFont font(family);
    font.setPixelSize(pixelSize);
    // The designer's font runs narrower than the Arial-metric substitute;
    // a slight condensing keeps the captions inside their places.
    if (family == QLatin1String("MS Sans Serif"))
        font.setStretch(94);
    return font;
}

QIcon imageListIcon(int index)
{
    static const std::array<const char*, kImageCount> names = {
        "manual", "print", "help", "printer-setup", "preview", "backup",        "exit",
        "first",  "prior", "next", "last",          "info",    "recalculation",
    };
    if (index < 0 || index >= kImageCount)
        return {};
    return drawnSvgIcon(QStringLiteral(":/images/%1.svg").arg(QLatin1String(names[static_cast<std::size_t>(index)])),
                        {16, 24, 32, 48});
}

QIcon recordIcon()
{
    return drawnSvgIcon(QStringLiteral(":/images/record.svg"), {16, 24, 32, 48});
}

QIcon programIcon()
{
    return drawnSvgIcon(QStringLiteral(":/images/veltrano.svg"), {16, 24, 32, 48, 64, 128, 256});
}

QFont bold(QFont font)
{
    font.setBold(true);
    return font;
}

QFont boldItalic(QFont font)
{
    font.setBold(true);
    font.setItalic(true);
    return font;
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

QStringList seamWords()
{
    return {QString::fromUtf8(seamWord(SeamType::Butt)), QString::fromUtf8(seamWord(SeamType::Fillet))};
}

QStringList levelWords()
{
    return {QString::fromUtf8(levelWord(QualityLevel::B)), QString::fromUtf8(levelWord(QualityLevel::C)),
            QString::fromUtf8(levelWord(QualityLevel::D))};
}

} // namespace veltrano
