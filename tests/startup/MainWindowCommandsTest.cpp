// The help, manual and info commands as the main window's menu and toolbar
// carry them out, on the help books built beside the program.

#include "WindowTestSupport.h"
#include "help/HelpViewer.h"
#include "help/InfoUnit.h"

#include <QAction>
#include <QPointer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace veltrano;
using namespace veltrano::test;

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> main_;
    TForm3* form_ = nullptr;

private slots:
    void init()
    {
        main_ = std::make_unique<MainWindow>();
        form_ = &main_->form;
        form_->show();
    }

    void cleanup()
    {
        delete HelpViewerWindow();
        form_ = nullptr;
        main_.reset();
    }

    void helpAndManualFromMenuAndToolbar()
    {
        ModalAnswerer watch; // a book missing beside the program would show a notice
        watch.answerEveryBox(pressKey(Qt::Key_Return));
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
        QVERIFY(watch.answered().empty());
    }

    void infoTwiceShowsTheWindowMadeAtStartUp()
    {
        QPointer<TInfo> info = new TInfo(form_);
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
