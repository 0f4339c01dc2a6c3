// The help, manual and info commands as the main window's menu and toolbar
// carry them out, on the help books built beside the program.

#include "Catalogue.h"
#include "Driver.h"
#include "ENUnit3.h"
#include "HelpViewer.h"
#include "InfoUnit.h"
#include "MessageBoxWatch.h"

#include <QAction>
#include <QPointer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace veltrano;

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

private:
    EvaluationState state_;
    std::unique_ptr<TForm3> form_;

private slots:
    void init()
    {
        state_ = EvaluationState{};
        form_ = std::make_unique<TForm3>(state_, std::filesystem::path(VELTRANO_TEST_CATALOGUE));
        form_->show();
    }

    void cleanup()
    {
        delete HelpViewerWindow();
        form_.reset();
    }

    void helpAndManualFromMenuAndToolbar()
    {
        MessageBoxWatch watch;   // a book missing beside the program would show a notice
        QVERIFY(form_->ToolButton6->isEnabled() && form_->ToolButton9->isEnabled());

        form_->Hilfeaufrufen1->trigger();
        QCOMPARE(ApplicationHelpFile(), HelpFileName);
        QVERIFY(HelpViewerWindow() && HelpViewerWindow()->isVisible());
        QCOMPARE(HelpViewerWindow()->windowTitle(), QStringLiteral("Veltrano – Hilfe"));

        QTest::mouseClick(form_->ToolButton6, Qt::LeftButton);
        QCOMPARE(ApplicationHelpFile(), ManualFileName);
        QCOMPARE(HelpViewerWindow()->windowTitle(), QStringLiteral("Veltrano – Handbuch"));

        form_->Handbuch1->trigger();
        QCOMPARE(ApplicationHelpFile(), ManualFileName);
        QTest::mouseClick(form_->ToolButton9, Qt::LeftButton);
        QCOMPARE(ApplicationHelpFile(), HelpFileName);
        QVERIFY(watch.boxes().isEmpty());
    }

    void infoTwiceShowsTheWindowMadeAtStartUp()
    {
        QPointer<TInfo> info = new TInfo(form_.get());
        form_->Infober1->trigger();
        form_->Infober1->trigger();
        QVERIFY(info && info->isVisible());
        const QList<TInfo*> windows = form_->findChildren<TInfo*>();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first(), info.data());
    }
};

QTEST_MAIN(MainWindowCommandsTest)
#include "MainWindowCommandsTest.moc"
