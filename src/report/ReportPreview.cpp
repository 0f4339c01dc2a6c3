#include "report/ReportPreview.h"

#include "report/ReportRenderer.h"
#include "report/ReportSettings.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace veltrano::report {

namespace {

QScreen* screenOf(const QWidget* w)
{
    if (w && w->screen())
        return w->screen();
    return QGuiApplication::primaryScreen();
}

// The small window that tells which page is being generated.
class StatusWindow : public QDialog {
public:
    explicit StatusWindow(QWidget* parent)
        : QDialog(parent)
    {
        setWindowTitle(kStatusTitle);
        auto* layout = new QVBoxLayout(this);
        m_label = new QLabel(this);
        m_label->setMinimumWidth(220);
        m_label->setObjectName(QStringLiteral("statusText"));
        layout->addWidget(m_label);
    }
    void showPage(int page)
    {
        m_label->setText(statusText(page));
        if (!isVisible())
            show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QLabel* m_label = nullptr;
};

} // namespace

ReportPreviewDialog::ReportPreviewDialog(const ReportParameters& params, QPrinter& printer, QWidget* parent)
    : QDialog(parent)
    , m_params(params)
    , m_printer(printer)
{
    setWindowTitle(kPreviewTitle);
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [&](QStyle::StandardPixmap icon, const QString& text, auto slot, const QKeySequence& key) {
        QAction* a = bar->addAction(icon == QStyle::SP_CustomBase ? QIcon() : style()->standardIcon(icon), text);
        connect(a, &QAction::triggered, this, slot);
        a->setShortcut(key);
        a->setToolTip(text);
        return a;
    };
    m_first = add(QStyle::SP_MediaSkipBackward, QStringLiteral("Erste Seite"), &ReportPreviewDialog::firstPage,
                  QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_previous = add(QStyle::SP_ArrowLeft, QStringLiteral("Vorherige Seite"), &ReportPreviewDialog::previousPage,
                     QKeySequence(Qt::Key_PageUp));
    m_next = add(QStyle::SP_ArrowRight, QStringLiteral("Nächste Seite"), &ReportPreviewDialog::nextPage,
                 QKeySequence(Qt::Key_PageDown));
    m_last = add(QStyle::SP_MediaSkipForward, QStringLiteral("Letzte Seite"), &ReportPreviewDialog::lastPage,
                 QKeySequence(Qt::CTRL | Qt::Key_End));
    for (QAction* a : {m_first, m_previous, m_next, m_last})
        if (QWidget* w = bar->widgetForAction(a))
            if (auto* button = qobject_cast<QToolButton*>(w))
                button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(m_pageLabel);
    bar->addSeparator();
    add(QStyle::SP_CustomBase, QStringLiteral("\u2212"), &ReportPreviewDialog::zoomOut, QKeySequence::ZoomOut)
        ->setToolTip(QStringLiteral("Verkleinern"));
    m_zoomBox = new QSpinBox(bar);
    m_zoomBox->setRange(kMinZoom, kMaxZoom);
    m_zoomBox->setSuffix(QStringLiteral(" %"));
    m_zoomBox->setValue(m_zoom);
    m_zoomBox->setKeyboardTracking(false);
    m_zoomBox->setToolTip(QStringLiteral("Zoom"));
    m_zoomBox->setAccessibleName(QStringLiteral("Zoom"));
    bar->addWidget(m_zoomBox);
    connect(m_zoomBox, &QSpinBox::valueChanged, this, &ReportPreviewDialog::setZoom);
    add(QStyle::SP_CustomBase, QStringLiteral("+"), &ReportPreviewDialog::zoomIn, QKeySequence::ZoomIn)
        ->setToolTip(QStringLiteral("Vergrößern"));
    bar->addSeparator();
    add(QStyle::SP_CustomBase, QStringLiteral("Drucken..."), &ReportPreviewDialog::print, QKeySequence::Print);
    add(QStyle::SP_DialogSaveButton, QStringLiteral("Speichern..."), &ReportPreviewDialog::saveAs, QKeySequence::Save);
    bar->addSeparator();
    add(QStyle::SP_DialogCloseButton, QStringLiteral("Schließen"), &QDialog::accept, QKeySequence());

    m_pageView = new QLabel;
    m_pageView->setFrameShape(QFrame::Box);
    m_pageView->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setWidget(m_pageView);
    m_scroll->setAccessibleName(QStringLiteral("Berichtsseite"));
    m_pageView->setAccessibleName(QStringLiteral("Berichtsseite"));
    // The button that a narrow window adds for the commands it cannot show.
    bar->setAccessibleName(QStringLiteral("Seitenansicht"));
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("Weitere Befehle"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);
}

double ReportPreviewDialog::pageDpi() const
{
    const QScreen* screen = screenOf(this);
    const double base = screen ? screen->logicalDotsPerInchY() : 96.0;
    return base * m_zoom / 100.0;
}

void ReportPreviewDialog::generatePages()
{
    renderPages(true);
}

void ReportPreviewDialog::renderPages(bool withStatus)
{
    const ReportLayout& layout = evaluationReportLayout();
    const qreal ratio = devicePixelRatioF();
    const double dpi = pageDpi() * ratio;
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));

    std::unique_ptr<StatusWindow> status;
    if (withStatus)
        status = std::make_unique<StatusWindow>(isVisible() ? this : parentWidget());

    std::vector<QImage> pages;
    pages.reserve(layout.pages.size());
    int number = 0;
    for (const ReportPage& page : layout.pages) {
        ++number;
        if (status)
            status->showPage(number);
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        // The image's own resolution is what the renderer and the fonts use.
        const int pxW = static_cast<int>(std::lround(page.widthMm / 25.4 * image.logicalDpiX()));
        const int pxH = static_cast<int>(std::lround(page.heightMm / 25.4 * image.logicalDpiY()));
        image = QImage(std::max(1, pxW), std::max(1, pxH), QImage::Format_RGB32);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
            drawReportPage(painter, page, m_params);
        }
        image.setDevicePixelRatio(ratio);
        pages.push_back(std::move(image));
    }
    m_pages = std::move(pages);
    m_current = std::clamp(m_current, 1, std::max(1, pageCount()));
    updateView();
}

void ReportPreviewDialog::setupForScreen(const QSize& screen)
{
    resize(screen);
    setZoom(previewZoom(screen.width(), screen.height()));
    setWindowState(windowState() | Qt::WindowMaximized);
}

void ReportPreviewDialog::setZoom(int percent)
{
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (m_zoomBox->value() != percent) {
        const QSignalBlocker block(m_zoomBox);
        m_zoomBox->setValue(percent);
    }
    if (percent == m_zoom && !m_pages.empty())
        return;
    m_zoom = percent;
    if (!m_pages.empty())
        renderPages(false);
}

void ReportPreviewDialog::showPage(int page)
{
    if (page < 1 || page > pageCount() || page == m_current)
        return;
    m_current = page;
    updateView();
}

void ReportPreviewDialog::updateView()
{
    if (m_pages.empty())
        return;
    const QImage& image = pageImage(m_current);
    m_pageView->setPixmap(QPixmap::fromImage(image));
    m_pageView->adjustSize();
    m_pageLabel->setText(QStringLiteral("Seite %1 von %2").arg(m_current).arg(pageCount()));
    m_first->setEnabled(m_current > 1);
    m_previous->setEnabled(m_current > 1);
    m_next->setEnabled(m_current < pageCount());
    m_last->setEnabled(m_current < pageCount());
}

bool ReportPreviewDialog::saveAsPdf(const QString& file, QString* error) const
{
    return writeReportPdf(file, m_params, error);
}

void ReportPreviewDialog::print()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setMinMax(1, pageCount());
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!printReport(m_printer, m_params, &error))
        QMessageBox::warning(this, kPreviewTitle, error);
}

void ReportPreviewDialog::saveAs()
{
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Speichern unter"), QString(),
                                                QStringLiteral("%1 (%2)").arg(kPdfFormatName, kPdfPattern));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    QString error;
    if (!saveAsPdf(file, &error))
        QMessageBox::warning(this, kPreviewTitle, error);
}

ReportSystem::ReportSystem()
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer->setDocName(kPrintJobTitle);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
}

ReportSystem::~ReportSystem() = default;

void ReportSystem::printerSetup(QWidget* parent)
{
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.exec();
}

void ReportSystem::execute(const ReportParameters& params, QWidget* parent)
{
    ReportPreviewDialog preview(params, *m_printer, parent);
    const QScreen* screen = screenOf(parent);
    preview.setupForScreen(screen ? screen->size() : QSize(1024, 768));
    preview.generatePages();
    preview.exec();
}

void showNoDataMessage(QWidget* parent)
{
    QMessageBox box(QMessageBox::Information, kNoDataCaption, kNoDataMessage, QMessageBox::Ok, parent);
    box.adjustSize();
    if (const QScreen* screen = screenOf(parent)) {
        const QRect area = screen->availableGeometry();
        box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
    }
    box.exec();
}

} // namespace veltrano::report
