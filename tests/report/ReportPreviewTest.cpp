#include "report/ReportPreview.h"
#include "report/ReportSettings.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace veltrano;
using namespace veltrano::report;

namespace {

using Cache = std::array<std::string, EvaluationState::kCacheSize>;

// Runs `inspect` on the modal window that the code under test opens next;
// `inspect` closes it again.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> inspect)
        : m_inspect(std::move(inspect))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                m_timer.stop();
                m_inspect(w);
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
    std::function<void(QWidget*)> m_inspect;
};

ReportParameters sampleParameters()
{
    Cache c{};
    for (int i = 1; i < EvaluationState::kCacheSize; ++i)
        c[static_cast<std::size_t>(i)] = "R" + std::to_string(i);
    ReportInputs in;
    in.seamText = "Kehlnaht";
    in.levelText = "D (niedrig)";
    in.seamIndex = 1;
    in.t = 5.0f;
    return buildReportParameters(in, c);
}

} // namespace

TEST(PreviewZoom, ScreenHeightOverWidthTruncatedAndHeldWithinLimits)
{
    struct Case {
        int w, h, zoom;
    };
    const Case cases[] = {
        {1920, 1080, 56}, {1280, 1024, 80},  {1024, 768, 75},   {1080, 1920, 177}, {1366, 768, 56},
        {800, 600, 75},   {1000, 1000, 100}, {1000, 2000, 200}, {1000, 2010, 200}, {4000, 100, 10},
        {1000, 99, 10},   {1000, 100, 10},   {3, 1, 33},
    };
    for (const Case& c : cases)
        EXPECT_EQ(previewZoom(c.w, c.h), c.zoom) << c.w << " x " << c.h;
}

// The setup for a run: restore size the screen's, zoom from its proportions,
// maximized; a later run on another screen takes that screen.
TEST(PreviewZoom, PreviewTakesTheScreenOfEachRun)
{
    QPrinter printer;
    ReportPreviewDialog preview(ReportParameters(), printer);
    for (const QSize screen : {QSize(1920, 1080), QSize(1080, 1920), QSize(1366, 768)}) {
        preview.setupForScreen(screen);
        EXPECT_EQ(preview.size(), screen);
        EXPECT_EQ(preview.zoom(), previewZoom(screen.width(), screen.height()));
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
    }
    EXPECT_EQ(preview.zoom(), 56);
}

TEST(PreviewStatus, NamesThePageBeingGenerated)
{
    EXPECT_EQ(statusText(1), "Generating page 1");
    EXPECT_EQ(statusText(3), "Generating page 3");
}

// While record 1 has no result, the command shows the notice and runs nothing.
TEST(ReportCommand, RefusesWithANoticeUntilRecordOneHasAResult)
{
    Cache c{};
    c[2] = "R2";
    c[0] = "hint";
    bool ran = false;
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    const ModalWatcher watcher([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    EXPECT_FALSE(runReportCommand(c, nullptr, [&] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(text, "Es stehen noch nicht genügend Daten zur Vefügung !");
    EXPECT_EQ(title, "Hinweis");
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    c[1] = "nicht zulässig"; // the other entries may stay empty
    EXPECT_TRUE(runReportCommand(c, nullptr, [&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(ReportPreview, OpensModalMaximizedAtTheScreensZoomAndPagesThrough)
{
    ReportSystem system;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QString title;
    bool maximized = false, modal = false;
    int zoom = 0, pages = 0, pageAfterNext = 0, pageAtEnd = 0;
    QSize zoomedSize, page1Size;
    const ModalWatcher watcher([&](QWidget* w) {
        auto* preview = qobject_cast<ReportPreviewDialog*>(w);
        ASSERT_NE(preview, nullptr);
        title = preview->windowTitle();
        maximized = preview->isMaximized();
        modal = preview->isModal();
        zoom = preview->zoom();
        pages = preview->pageCount();
        page1Size = preview->pageImage(1).size();
        preview->nextPage();
        pageAfterNext = preview->currentPage();
        preview->lastPage();
        preview->nextPage();
        pageAtEnd = preview->currentPage();
        preview->setZoom(2 * preview->zoom());
        zoomedSize = preview->pageImage(1).size();
        preview->accept();
    });
    system.execute(sampleParameters(), nullptr);

    EXPECT_EQ(title, "Seitenansicht - Druckvorschau");
    EXPECT_TRUE(maximized);
    EXPECT_TRUE(modal);
    EXPECT_EQ(zoom, previewZoom(screen.width(), screen.height()));
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(pageAfterNext, 2);
    EXPECT_EQ(pageAtEnd, 3);
    // A portrait A4 page, twice as large at twice the zoom.
    EXPECT_NEAR(static_cast<double>(page1Size.height()) / page1Size.width(), 297.0 / 210.0, 0.01);
    EXPECT_NEAR(zoomedSize.width(), 2.0 * page1Size.width(), 3.0);
}

TEST(ReportPreview, StatusWindowShowsEachPageWhileGenerating)
{
    QPrinter printer;
    ReportPreviewDialog preview(sampleParameters(), printer);
    QStringList seen;
    QString statusTitle;
    // The status window is a top-level dialog; watch its label change.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == "Report Status" && w->isVisible())
                if (auto* label = w->findChild<QLabel*>("statusText"))
                    if (!seen.contains(label->text())) {
                        seen << label->text();
                        statusTitle = w->windowTitle();
                    }
    });
    watch.start(0);
    preview.generatePages();
    watch.stop();
    EXPECT_EQ(preview.pageCount(), 3);
    EXPECT_EQ(statusTitle, "Report Status");
    for (const QString& s : seen)
        EXPECT_TRUE(s.startsWith("Generating page ")) << s.toStdString();
}

TEST(ReportPreview, SavesTheSamePagesAsPdf)
{
    QTemporaryDir dir;
    QPrinter printer;
    ReportPreviewDialog preview(sampleParameters(), printer);
    preview.generatePages();
    const QString file = dir.filePath("bericht.pdf");
    QString error;
    ASSERT_TRUE(preview.saveAsPdf(file, &error)) << error.toStdString();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 3) << "three pages";
}
