#include "ReportPreview.h"

#include "ReportRenderer.h"
#include "ReportSettings.h"

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
#include <QToolBar>
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
    m_first = bar->addAction(QStringLiteral("Erste Seite"), this, &ReportPreviewDialog::firstPage);
    m_first->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_previous = bar->addAction(QStringLiteral("Vorherige Seite"), this, &ReportPreviewDialog::previousPage);
    m_previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    m_next = bar->addAction(QStringLiteral("Nächste Seite"), this, &ReportPreviewDialog::nextPage);
    m_next->setShortcut(QKeySequence(Qt::Key_PageDown));
    m_last = bar->addAction(QStringLiteral("Letzte Seite"), this, &ReportPreviewDialog::lastPage);
    m_last->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    bar->addWidget(m_pageLabel);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Verkleinern"), this, &ReportPreviewDialog::zoomOut)
        ->setShortcut(QKeySequence::ZoomOut);
    m_zoomBox = new QSpinBox(bar);
    m_zoomBox->setRange(kMinZoom, kMaxZoom);
    m_zoomBox->setSuffix(QStringLiteral(" %"));
    m_zoomBox->setValue(m_zoom);
    m_zoomBox->setKeyboardTracking(false);
    bar->addWidget(m_zoomBox);
    connect(m_zoomBox, &QSpinBox::valueChanged, this, &ReportPreviewDialog::setZoom);
    bar->addAction(QStringLiteral("Vergrößern"), this, &ReportPreviewDialog::zoomIn)->setShortcut(QKeySequence::ZoomIn);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Drucken..."), this, &ReportPreviewDialog::print)->setShortcut(QKeySequence::Print);
    bar->addAction(QStringLiteral("Speichern unter..."), this, &ReportPreviewDialog::saveAs)
        ->setShortcut(QKeySequence::Save);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Schließen"), this, &QDialog::accept);

    m_pageView = new QLabel;
    m_pageView->setFrameShape(QFrame::Box);
    m_pageView->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setWidget(m_pageView);

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
    // Every run takes the screen as it is now: the restore size is the whole
    // screen and the zoom fits a portrait page to the screen's proportions.
    const QScreen* screen = screenOf(parent);
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    preview.resize(size);
    preview.setZoom(previewZoom(size.width(), size.height()));
    preview.generatePages();
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
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
