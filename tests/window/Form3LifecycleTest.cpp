// The main window's life: the repeated set-up, the quit question, the end,
// the recalculation pass, and a catalogue that is missing or unusable.

#include "WindowTestSupport.h"
#include "catalogue/Recalculation.h"
#include "help/HelpViewer.h"
#include "recordwindow/RecordForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include <sqlite3.h>

using namespace veltrano;
using namespace veltrano::test;

namespace {

// A copy of the built catalogue in a temporary folder, changed by some SQL.
std::filesystem::path alteredCatalogue(const QTemporaryDir& dir, const char* sql)
{
    const std::filesystem::path file = std::filesystem::path(dir.path().toStdString()) / Catalogue::kFileName;
    std::filesystem::copy_file(builtCatalogue(), file, std::filesystem::copy_options::overwrite_existing);
    sqlite3* db = nullptr;
    sqlite3_open(file.string().c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
}

std::string catalogueReason(const std::filesystem::path& file)
{
    Catalogue probe(file);
    try {
        probe.Open();
    } catch (const CatalogueError& e) {
        return e.what();
    }
    return {};
}

// Record 1 evaluated by the headless wiring for the weld the form shows, at
// the level its selector shows.
std::string recalculatedRecord1(const TForm3& form)
{
    WeldInput weld;
    weld.seamType = TForm3::ItemIndex(form.ComboBox1);
    weld.t = form.SpinEdit1->floatValue();
    weld.l = form.SpinEdit2->floatValue();
    weld.b = form.SpinEdit3->floatValue();
    weld.bw = form.SpinEdit4->floatValue();
    weld.welderTest = form.CheckBox1->isChecked();
    weld.railBridge = form.CheckBox2->isChecked();
    Recalculation expected(builtCatalogue(), QLocale().decimalPoint().toStdString());
    return expected.run(weld, static_cast<QualityLevel>(TForm3::ItemIndex(form.ComboBox2) + 1)).front();
}

} // namespace

class Form3LifecycleTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ModalAnswerer> m_boxes;

private slots:
    void initTestCase() { useGermanLocale(); }
    void init() { m_boxes = std::make_unique<ModalAnswerer>(); }
    void cleanup()
    {
        QCOMPARE(m_boxes->unexpected().size(), std::size_t(0));
        QVERIFY2(m_boxes->problems().isEmpty(), qPrintable(m_boxes->problems().join('\n')));
        QCOMPARE(m_boxes->pending(), 0);
        m_boxes.reset();
    }

    // Returning from another window of the program sets the window up again
    // only while record 2 has no result.
    void repeatedSetUp_data()
    {
        QTest::addColumn<bool>("reachRecord2");
        QTest::newRow("record 2 not reached") << false;
        QTest::newRow("record 2 reached") << true;
    }

    void repeatedSetUp()
    {
        QFETCH(bool, reachRecord2);
        MainWindow main;
        TForm3& form = main.form;
        EvaluationState& state = main.state;
        QVERIFY(showAndActivate(form));
        form.ComboBox1->setCurrentIndex(1);
        form.ComboBox2->setCurrentIndex(2);
        if (reachRecord2) {
            form.tbNextClick();
            form.tbNextClick();
        }
        QVERIFY(visitOtherWindow(form));
        if (reachRecord2) {
            QCOMPARE(form.ComboBox1->currentIndex(), 1);
            QCOMPARE(form.ComboBox2->currentIndex(), 2);
            QCOMPARE(state.iGroup, 3);
            QCOMPARE(form.Table1().RecNo(), 3);
        } else {
            QCOMPARE(form.ComboBox1->currentIndex(), 0);
            QCOMPARE(form.ComboBox2->currentIndex(), 0);
            QCOMPARE(state.iGroup, 1);
            QCOMPARE(form.Table1().RecNo(), 1);
            QCOMPARE(statusPanel(form, 1), QStringLiteral("DSNr: 1 von 89"));
            QCOMPARE(QApplication::focusWidget(), form.ToolBar1);
            // The limit field and the input layout follow the selectors
            // again; the values stay.
            QVERIFY(!form.SpinEdit4->isHidden());
            QCOMPARE(form.Label1->text(), QStringLiteral("Materialdicke t[mm]:"));
            QCOMPARE(form.SpinEdit1->maximum(), 100.0);
            QCOMPARE(form.SpinEdit1->value(), 5.0);
            QCOMPARE(state.aResult[1], recalculatedRecord1(form));
            form.DBGrid1->setCurrentIndex(form.DBGrid1->model()->index(15, 0));
            QVERIFY(form.Table1().FieldText("hochB") != form.Table1().FieldText("niedrigD"));
            QCOMPARE(form.DBEdit5->text().toStdString(), form.Table1().FieldText("hochB"));
        }
    }

    // The help, the manual and the inspection record are worked in beside
    // the weld: coming back from them keeps every input, the row and the
    // results, also while record 2 has no result yet.
    void helpIsNoOtherWindow_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("F1 in a weld input") << 0;
        QTest::newRow("manual from the toolbar") << 1;
        QTest::newRow("inspection record from the toolbar") << 2;
    }

    void helpIsNoOtherWindow()
    {
        QFETCH(int, way);
        const bool manual = way == 1;
        QStandardPaths::setTestModeEnabled(true); // the record window's recovery copy
        MainWindow main;
        TForm3& form = main.form;
        EvaluationState& state = main.state;
        QVERIFY(showAndActivate(form));
        form.ComboBox1->setCurrentIndex(1);
        form.ComboBox2->setCurrentIndex(2);
        form.SpinEdit2->setValue(250);
        form.CheckBox2->setChecked(true);
        form.DBGrid1->setCurrentIndex(form.DBGrid1->model()->index(4, 0));
        QCOMPARE(form.Table1().RecNo(), 5);
        QVERIFY(state.aResult[2].empty());
        if (!manual)
            form.SpinEdit2->setFocus(Qt::TabFocusReason);
        const auto results = state.aResult;
        const QString shown = form.StaticText2->text();

        if (way == 2) {
            QTest::mouseClick(form.ToolButtonRecord, Qt::LeftButton);
            TRecordForm* recordWindow = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* r = qobject_cast<TRecordForm*>(w); r && r->isVisible())
                    recordWindow = r;
            QVERIFY(recordWindow);
            recordWindow->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(recordWindow));
            recordWindow->close();
        } else {
            if (manual)
                QTest::mouseClick(form.ToolButton6, Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            THelpViewer* viewer = HelpViewerWindow();
            QVERIFY(viewer);
            QVERIFY(QTest::qWaitForWindowActive(viewer));
            viewer->close();
        }
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        QCOMPARE(form.ComboBox1->currentIndex(), 1);
        QCOMPARE(form.ComboBox2->currentIndex(), 2);
        QCOMPARE(state.iGroup, 3);
        QCOMPARE(form.SpinEdit2->value(), 250.0);
        QVERIFY(form.CheckBox2->isChecked());
        QCOMPARE(form.Table1().RecNo(), 5);
        QCOMPARE(state.iRecNo, 5);
        QVERIFY(state.aResult == results);
        QCOMPARE(form.StaticText2->text(), shown);
        QCOMPARE(statusPanel(form, 1), QStringLiteral("DSNr: 5  von 89"));
        if (way != 2)
            delete HelpViewerWindow();
    }

    // A message box of the window is no other window: leaving a field with a
    // value too large keeps the user's selections.
    void noticeIsNoActivation()
    {
        MainWindow main;
        TForm3& form = main.form;
        QVERIFY(showAndActivate(form));
        form.ComboBox2->setCurrentIndex(1);
        form.SpinEdit3->setFocus(Qt::TabFocusReason);
        form.SpinEdit3->setValue(40);
        m_boxes->expect(QMessageBox::Ok);
        form.SpinEdit4->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(m_boxes->answered().size(), std::size_t(1));
        form.activateWindow(); // as the desktop does when the box has closed
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(form.ComboBox2->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), form.SpinEdit4);
    }

    void quitQuestion_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("yes");
        QTest::newRow("frame, No") << 0 << false;
        QTest::newRow("frame, Yes") << 0 << true;
        QTest::newRow("menu, No") << 1 << false;
        QTest::newRow("toolbar, Yes") << 2 << true;
    }

    void quitQuestion()
    {
        QFETCH(int, way);
        QFETCH(bool, yes);
        MainWindow main;
        TForm3& form = main.form;
        QVERIFY(showAndActivate(form));
        form.CloseTable(); // the answer No opens it again
        m_boxes->expect(yes ? QMessageBox::Yes : QMessageBox::No);
        if (way == 0)
            form.close();
        else if (way == 1)
            form.Beenden1->trigger();
        else
            QTest::mouseClick(form.ToolButton11, Qt::LeftButton);
        QCOMPARE(m_boxes->answered().size(), std::size_t(1));
        const SeenWindow& box = m_boxes->answered().front();
        QCOMPARE(box.title, QStringLiteral("Frage"));
        QCOMPARE(box.text, QStringLiteral("Programm beenden ?"));
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(form.isVisible(), !yes);
        if (!yes) {
            QVERIFY(form.Table1().Active());
            QCOMPARE(form.DBGrid1->model()->rowCount(), 89);
        }
    }

    void recalculation_data()
    {
        QTest::addColumn<int>("seam");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("welderTest");
        QTest::newRow("butt weld, level B") << 0 << 0 << false;
        QTest::newRow("fillet weld, level C") << 1 << 1 << false;
        QTest::newRow("butt weld, level D") << 0 << 2 << false;
        QTest::newRow("fillet weld, welder test") << 1 << 0 << true;
    }

    // The pass fills every entry with the result of its record for the weld
    // and level as they stand, and ends on the row it started on.
    void recalculation()
    {
        QFETCH(int, seam);
        QFETCH(int, level);
        QFETCH(bool, welderTest);
        MainWindow main;
        TForm3& form = main.form;
        EvaluationState& state = main.state;
        QVERIFY(showAndActivate(form));
        form.ComboBox1->setCurrentIndex(seam);
        form.ComboBox2->setCurrentIndex(level);
        form.SpinEdit2->setValue(250);
        form.CheckBox1->setChecked(welderTest);
        form.CheckBox2->setChecked(true);
        form.DBGrid1->setCurrentIndex(form.DBGrid1->model()->index(39, 0));
        QCOMPARE(form.Table1().RecNo(), 40);

        form.NeuBerechnung1->trigger();

        QCOMPARE(form.Table1().RecNo(), 40);
        QCOMPARE(state.iRecNo, 40);
        QCOMPARE(form.DBGrid1->currentIndex().row(), 39);
        QCOMPARE(statusPanel(form, 1), QStringLiteral("DSNr: 40  von 89"));
        QCOMPARE(form.StaticText2->text().toStdString(), state.aResult[40]);
        QCOMPARE(QApplication::focusWidget(), form.DBGrid1);

        WeldInput weld;
        weld.seamType = seam;
        weld.t = seam == 0 ? 10.0f : 5.0f;
        weld.b = seam == 0 ? 12.0f : 7.0f;
        weld.l = 250.0f;
        weld.bw = 2.0f;
        weld.welderTest = welderTest;
        weld.railBridge = true;
        Recalculation expected(builtCatalogue(), QLocale().decimalPoint().toStdString());
        const std::vector<std::string> results = expected.run(weld, static_cast<QualityLevel>(level + 1));
        QCOMPARE(results.size(), std::size_t(89));
        for (int rec = 1; rec <= 89; ++rec)
            QCOMPARE(state.aResult[static_cast<std::size_t>(rec)], results[static_cast<std::size_t>(rec - 1)]);
        QCOMPARE(form.DBEdit5->text().toStdString(),
                 form.Table1().FieldText(limitColumn(static_cast<QualityLevel>(level + 1))));

        // The grid paints again and stands as the walk leaves it: coming back
        // up from the last row, the row it started on is the first one shown.
        QVERIFY(form.DBGrid1->viewport()->updatesEnabled());
        QVERIFY(form.DBGrid1->verticalHeader()->viewport()->updatesEnabled());
        QCOMPARE(form.DBGrid1->rowAt(0), 39);
    }

    // At its end the window empties the cache; the saved hint stays.
    void destruction()
    {
        EvaluationState state;
        {
            TForm3 form(state, builtCatalogue());
            QVERIFY(showAndActivate(form));
            form.ToolButton8Click();
            state.aResult[0] = "hint";
        }
        for (int rec = 1; rec <= 89; ++rec)
            QVERIFY(state.aResult[static_cast<std::size_t>(rec)].empty());
        QCOMPARE(state.aResult[0], std::string("hint"));
    }

    void missingCatalogue()
    {
        QTemporaryDir dir;
        MainWindow main(catalogueFileIn(dir.path().toStdString()));
        TForm3& form = main.form;
        EvaluationState& state = main.state;
        QVERIFY(state.bNoDatabase);
        QCOMPARE(form.ComboBox1->count(), 0);
        QCOMPARE(form.ComboBox2->count(), 0);
        m_boxes->expect(QMessageBox::Ok); // and no quit question
        form.show();
        QTRY_COMPARE(m_boxes->answered().size(), std::size_t(1));
        const SeenWindow& box = m_boxes->answered().front();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.text, QStringLiteral("Die Datei ISO5817.MDB befindet sich nicht im Programmverzeichnis.\r\n"
                                          "Bitte kopieren Sie diese dahin oder installieren Sie das Programm neu.\r\n"
                                          "Das Programm wird abgebrochen !"));
        QTRY_VERIFY(!form.isVisible());
        QTest::qWait(50);
        QCOMPARE(m_boxes->answered().size(), std::size_t(1));
    }

    void unusableCatalogue_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<bool>("garbage");
        QTest::newRow("not a database") << QByteArray() << true;
        QTest::newRow("no table ISO5817") << QByteArray("ALTER TABLE ISO5817 RENAME TO Other") << false;
        QTest::newRow("91 rows") << QByteArray("INSERT INTO ISO5817 SELECT * FROM ISO5817 LIMIT 2") << false;
        QTest::newRow("an endless view in place of the table")
            << QByteArray("ALTER TABLE ISO5817 RENAME TO Katalog; CREATE VIEW ISO5817 AS WITH RECURSIVE "
                          "r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT Katalog.* FROM Katalog, r")
            << false;
    }

    void unusableCatalogue()
    {
        QFETCH(QByteArray, sql);
        QFETCH(bool, garbage);
        QTemporaryDir dir;
        std::filesystem::path file = catalogueFileIn(dir.path().toStdString());
        if (garbage) {
            QFile out(QString::fromStdString(file.string()));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("Standard text, no database\n");
        } else {
            file = alteredCatalogue(dir, sql.constData());
        }
        const std::string reason = catalogueReason(file);
        QVERIFY(!reason.empty());

        MainWindow main(file);
        TForm3& form = main.form;
        EvaluationState& state = main.state;
        QVERIFY(state.bNoDatabase);
        m_boxes->expect(QMessageBox::Ok);
        form.show();
        QTRY_COMPARE(m_boxes->answered().size(), std::size_t(1));
        const SeenWindow& box = m_boxes->answered().front();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.text, QString::fromStdString(reason) + QStringLiteral("\r\nDas Programm wird abgebrochen !"));
        QTRY_VERIFY(!form.isVisible());
    }
};

QTEST_MAIN(Form3LifecycleTest)
#include "Form3LifecycleTest.moc"
