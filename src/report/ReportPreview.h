#pragma once
// The report on screen: the modal page preview with page navigation, zoom,
// printing and saving as PDF, the printer setup command, and the refusal to
// report before any result exists.

#include "report/ReportParameters.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QWidget;

namespace veltrano::report {

class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(const ReportParameters& params, QPrinter& printer, QWidget* parent = nullptr);

    // Draws every page at the current zoom, showing the status window while
    // it does so.  Called once before the dialog is shown.
    void generatePages();

    const ReportParameters& parameters() const { return m_params; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_current; } // 1-based
    int zoom() const { return m_zoom; }
    const QImage& pageImage(int page) const { return m_pages.at(static_cast<std::size_t>(page - 1)); }

    // Takes the screen as it is now: the restore size is the whole screen,
    // the zoom fits a portrait page to the screen's proportions, and the
    // window opens maximized.
    void setupForScreen(const QSize& screen);

    void setZoom(int percent);
    void showPage(int page);
    bool saveAsPdf(const QString& file, QString* error) const;

public slots:
    void firstPage() { showPage(1); }
    void previousPage() { showPage(m_current - 1); }
    void nextPage() { showPage(m_current + 1); }
    void lastPage() { showPage(pageCount()); }
    void zoomIn() { setZoom(m_zoom + 10); }
    void zoomOut() { setZoom(m_zoom - 10); }
    void print();
    void saveAs();

private:
    void renderPages(bool withStatus);
    void updateView();
    double pageDpi() const;

    ReportParameters m_params;
    QPrinter& m_printer;
    std::vector<QImage> m_pages;
    int m_current = 1;
    int m_zoom = 100;

    QScrollArea* m_scroll = nullptr;
    QLabel* m_pageView = nullptr;
    QLabel* m_pageLabel = nullptr;
    QSpinBox* m_zoomBox = nullptr;
    QAction* m_first = nullptr;
    QAction* m_previous = nullptr;
    QAction* m_next = nullptr;
    QAction* m_last = nullptr;
};

// The main window's report system: holds the printer that the printer setup
// command chooses and the preview's print dialog offers first, and runs the
// report into its modal preview.
class ReportSystem {
public:
    ReportSystem();
    ~ReportSystem();
    ReportSystem(const ReportSystem&) = delete;
    ReportSystem& operator=(const ReportSystem&) = delete;

    QPrinter& printer() { return *m_printer; }

    // The printer setup command: the print system's printer dialog, modal.
    // A cancelled dialog changes nothing.
    void printerSetup(QWidget* parent);

    // Generates the pages and shows them in the modal preview, maximized,
    // its restore size and zoom taken from the screen.  Returns when the
    // preview has been closed.
    void execute(const ReportParameters& params, QWidget* parent);

private:
    std::unique_ptr<QPrinter> m_printer;
};

// "Es stehen noch nicht genügend Daten zur Vefügung !", an information
// notice with one OK button, centred on the screen; returns when closed.
void showNoDataMessage(QWidget* parent);

// The preview and print command: refuses with the notice above while record 1
// has no cached result, otherwise runs `printReport` (which fills the
// parameters and runs the report).  Returns whether the report ran.
template <typename PrintReportFn>
bool runReportCommand(const std::array<std::string, EvaluationState::kCacheSize>& aResult, QWidget* parent,
                      PrintReportFn&& printReport)
{
    if (!reportDataAvailable(aResult)) {
        showNoDataMessage(parent);
        return false;
    }
    printReport();
    return true;
}

} // namespace veltrano::report
