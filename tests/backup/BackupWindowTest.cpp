// The backup command of the main window, on a copy of the built catalogue in
// a program folder of its own.

#include "BackupFixture.h"
#include "WindowTestSupport.h"
#include "backup/BackupForm.h"
#include "catalogue/Catalogue.h"
#include "window/ENUnit3.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <deque>

#include <memory>

using namespace backuptest;
using veltrano::TForm3;

class BackupWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_catalogueFile;
    QString m_backupFile;
    std::unique_ptr<veltrano::test::MainWindow> m_main;

    QString panel(int i) const { return m_main->form.StatusPanels[static_cast<std::size_t>(i)]->text(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_catalogueFile = m_dir->filePath(QStringLiteral("ISO5817.mdb"));
        m_backupFile = m_dir->filePath(QStringLiteral("Backup/ISO5817.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(VELTRANO_TEST_CATALOGUE), m_catalogueFile));
        m_main = std::make_unique<veltrano::test::MainWindow>(QFile::encodeName(m_catalogueFile).toStdString());
        QVERIFY(veltrano::test::showAndActivate(m_main->form));
        QVERIFY(m_main->form.Table1().Active());
        for (int i = 0; i < 4; ++i)
            m_main->form.tbNextClick();
        QCOMPARE(m_main->form.Table1().RecNo(), 5);
    }

    void cleanup()
    {
        m_main.reset();
        m_dir.reset();
    }

    void backupCopiesTheCatalogueAndReopensTheTable_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("earlierBackup");
        QTest::newRow("first backup from the toolbar button") << false << false;
        QTest::newRow("second backup from the menu item") << true << true;
    }

    void backupCopiesTheCatalogueAndReopensTheTable()
    {
        QFETCH(bool, fromMenu);
        QFETCH(bool, earlierBackup);
        if (earlierBackup) {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Backup")));
            QVERIFY(writeFile(m_backupFile, "earlier backup"));
        }
        const QString hint = panel(0);
        QString notice;
        QString done;
        bool panelsHidden = false;
        bool closedDuringCopy = false;
        std::deque<ModalScript::Step> steps{
            [&](QWidget* window) {
                auto* form = qobject_cast<TFormBackup*>(window);
                QVERIFY(form);
                QVERIFY(form->parentWidget() == &m_main->form);
                notice = m_main->form.StatusBar1->currentMessage();
                panelsHidden = m_main->form.StatusPanels[0]->isHidden() && m_main->form.StatusPanels[1]->isHidden();
                QVERIFY(m_main->form.Table1().Active()); // closed with the copy, not before
                pressLater(form, Qt::Key_Return);
            },
        };
        if (earlierBackup)
            steps.push_back(answerBoxByKey(Qt::Key_Return, nullptr, [&] {
                closedDuringCopy = !m_main->form.Table1().Active() && m_main->form.DBGrid1->model()->rowCount() == 0;
            }));
        steps.push_back(answerBoxByKey(Qt::Key_Return, &done));
        ModalScript script(std::move(steps));
        if (fromMenu)
            m_main->form.Backup1->trigger();
        else
            QTest::mouseClick(m_main->form.ToolButton7, Qt::LeftButton);
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
        QVERIFY2(script.unexpected().empty(), qPrintable(script.unexpectedText()));
        QVERIFY(script.finished());

        QVERIFY2(done.contains(QStringLiteral("Die Sicherungskopie ist angelegt")), qPrintable(done));
        QCOMPARE(notice, QStringLiteral("Sicherungskopie der Datenbank-Dateien "));
        QVERIFY(panelsHidden);
        QVERIFY(closedDuringCopy || !earlierBackup);
        QVERIFY(m_main->form.StatusBar1->currentMessage().isEmpty());
        QVERIFY(m_main->form.StatusPanels[0]->isVisible() && m_main->form.StatusPanels[1]->isVisible());
        QCOMPARE(panel(0), hint);
        QCOMPARE(readFile(m_backupFile), readFile(m_catalogueFile));
        // Opened anew on its first row, with every row in the grid.
        QVERIFY(m_main->form.Table1().Active());
        QCOMPARE(m_main->form.Table1().RecNo(), 1);
        QCOMPARE(panel(1), QStringLiteral("DSNr: 1  von 89"));
        QCOMPARE(m_main->form.DBGrid1->model()->rowCount(), 89);
        QVERIFY(m_main->form.findChildren<TFormBackup*>().isEmpty());
    }

    void cancelLeavesTheTableOnItsRow()
    {
        const QString hint = panel(0);
        const QString position = panel(1);
        ModalScript script({[](QWidget* window) { pressLater(window, Qt::Key_Escape); }});
        QTest::mouseClick(m_main->form.ToolButton7, Qt::LeftButton);
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
        QVERIFY2(script.unexpected().empty(), qPrintable(script.unexpectedText()));
        QVERIFY(script.finished());

        QVERIFY(m_main->form.Table1().Active());
        QCOMPARE(m_main->form.Table1().RecNo(), 5);
        QCOMPARE(panel(0), hint);
        QCOMPARE(panel(1), position);
        QVERIFY(m_main->form.StatusPanels[0]->isVisible() && m_main->form.StatusPanels[1]->isVisible());
        QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Backup"))));
    }
};

QTEST_MAIN(BackupWindowTest)
#include "BackupWindowTest.moc"
