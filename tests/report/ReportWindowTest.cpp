// The report commands of the main window, on the built catalogue.

#include "WindowTestSupport.h"
#include "report/ReportPreview.h"

#include <QComboBox>

#include <gtest/gtest.h>

using namespace veltrano;
using namespace veltrano::report;
using namespace veltrano::test;

namespace {

// Closes the next preview after noting what it received.
class PreviewWatcher {
public:
    PreviewWatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* preview = qobject_cast<ReportPreviewDialog*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                params = preview->parameters();
                pages = preview->pageCount();
                ++opened;
                preview->accept();
            }
        });
        m_timer.start(5);
    }

    ReportParameters params;
    int pages = 0;
    int opened = 0;

private:
    QTimer m_timer;
};

} // namespace

TEST(ReportFromWindow, RefusesBeforeResultsThenReportsTheWindowsWeld)
{
    useGermanLocale();
    MainWindow main;
    TForm3& form = main.form;
    EvaluationState& state = main.state;
    ModalAnswerer answerer;
    ASSERT_TRUE(showAndActivate(form));

    // A fillet weld of a = 3: the thin fillet column of the mapping.
    form.ComboBox1->setCurrentIndex(1);
    form.SpinEdit1->setValue(3.0);
    form.SpinEdit4->setValue(3.5);

    // Enter in the thickness field empties the cache: nothing to report yet.
    form.driver().ClearResults();
    ASSERT_TRUE(state.aResult[1].empty());
    {
        PreviewWatcher preview;
        answerer.expect(QMessageBox::Ok);
        form.ToolButton3Click();
        QApplication::processEvents();
        EXPECT_EQ(preview.opened, 0);
    }
    ASSERT_EQ(answerer.answered().size(), 1u);
    EXPECT_EQ(answerer.answered()[0].text, "Es stehen noch nicht genügend Daten zur Vefügung !");
    EXPECT_EQ(answerer.answered()[0].icon, QMessageBox::Information);

    // After the recalculation the preview shows this weld's results.
    form.ToolButton8Click();
    ASSERT_FALSE(state.aResult[1].empty());
    PreviewWatcher preview;
    form.ToolButton3Click();
    EXPECT_EQ(preview.opened, 1);
    EXPECT_EQ(preview.pages, 3);
    EXPECT_EQ(preview.params.value("Titel1"), "Kehlnaht");
    EXPECT_EQ(preview.params.value("Titel2"), form.ComboBox2->currentText());
    EXPECT_EQ(preview.params.value("MD"), "3,00");
    EXPECT_EQ(preview.params.value("WB"), "3,50");
    EXPECT_EQ(preview.params.value("IW3"), QString::fromStdString(state.aResult[3]));
    EXPECT_EQ(preview.params.value("IW20"), QString::fromStdString(state.aResult[31]));
    EXPECT_EQ(preview.params.value("IW56"), QString::fromStdString(state.aResult[88]));
    EXPECT_TRUE(answerer.unexpected().empty());
    EXPECT_TRUE(answerer.problems().isEmpty());
}
