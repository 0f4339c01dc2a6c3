// The main window as laid out and browsed: controls and commands, the first
// activation, the navigation commands with their button states, the grid and
// the display-only fields.

#include "WindowTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

using namespace veltrano;
using namespace veltrano::test;

class Form3NavigationTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ModalAnswerer> m_boxes;

    TForm3& form() { return m_main->form; }
    EvaluationState& state() { return m_main->state; }

private slots:
    void initTestCase() { useGermanLocale(); }

    void init()
    {
        m_boxes = std::make_unique<ModalAnswerer>();
        m_main = std::make_unique<MainWindow>();
        QVERIFY(showAndActivate(form()));
    }

    void cleanup()
    {
        m_main.reset();
        QCOMPARE(m_boxes->unexpected().size(), std::size_t(0));
        QVERIFY2(m_boxes->problems().isEmpty(), qPrintable(m_boxes->problems().join('\n')));
        m_boxes.reset();
    }

    void windowFrame()
    {
        QCOMPARE(form().windowTitle(), QStringLiteral("Veltrano    "));
        QVERIFY(!form().windowIcon().isNull());
        // Client area 894 x 602 below the menu, and the user cannot resize it.
        QCOMPARE(form().width(), 894);
        QCOMPARE(form().height() - form().menuBar()->height(), 602);
        QCOMPARE(form().minimumSize(), form().maximumSize());
        QCOMPARE(form().ToolBar1->height(), 30);
        QCOMPARE(form().StatusBar1->height(), 24);
        QCOMPARE(form().StatusPanels[0]->width(), 700);
        QCOMPARE(form().StatusPanels[1]->width(), 100);
        // The designer's font is mapped to an installed sans-serif.
        const QString family = QFontInfo(form().Label5->font()).family();
        QVERIFY2(family == QLatin1String("Liberation Sans") || family == QLatin1String("DejaVu Sans"), qPrintable(family));
        QCOMPARE(form().Label5->font().pixelSize(), 18);
        QCOMPARE(form().StaticText2->font().pixelSize(), 14);
    }

    void commands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("hint");
        QTest::newRow("printer setup") << "Druckereinrichten1" << "Drucker &einrichten" << "ToolButton2" << "Drucker einrichten";
        QTest::newRow("preview") << "Ansicht1" << "&Ansicht" << "ToolButton3" << "Seitenansicht";
        QTest::newRow("print") << "Drucken1" << "&Drucken" << "ToolButton5" << "Drucken";
        QTest::newRow("end") << "Beenden1" << "&Beenden" << "ToolButton11" << "ProgrammEnde";
        QTest::newRow("first") << "DateiAnfang1" << "Datei&Anfang" << "tbFirst" << "DateiAnfang";
        QTest::newRow("prior") << "VorherigerDatensatz1" << "&Vorheriger Datensatz" << "tbPri" << "voriger Datensatz";
        QTest::newRow("next") << "NchsterDatensatz1" << "&N\u00E4chster Datensatz" << "tbNext" << "n\u00E4chtster Datensatz";
        QTest::newRow("last") << "DateiEnde1" << "Datei&Ende" << "tbLast" << "DateiEnde";
        QTest::newRow("manual") << "Handbuch1" << "&Handbuch" << "ToolButton6" << "Handbuch";
        QTest::newRow("backup") << "Backup1" << "&Backup" << "ToolButton7" << "Backup";
        QTest::newRow("recalculation") << "NeuBerechnung1" << "&Neu-Berechnung" << "ToolButton8" << "Neu-Berechnung";
        QTest::newRow("help") << "Hilfeaufrufen1" << "&Hilfe aufrufen" << "ToolButton9" << "Hilfe";
        QTest::newRow("info") << "Infober1" << "&Info \u00FCber ..." << "" << "";
    }

    void commands()
    {
        QFETCH(QString, item);
        QFETCH(QString, caption);
        QFETCH(QString, button);
        QFETCH(QString, hint);
        auto* action = form().findChild<QAction*>(item);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QVERIFY(!action->icon().isNull());
        if (!button.isEmpty()) {
            auto* tool = form().ToolBar1->findChild<QToolButton*>(button);
            QVERIFY(tool);
            QCOMPARE(tool->toolTip(), hint);
            QVERIFY(!tool->icon().isNull());
        }
    }

    void toolbarOrder()
    {
        QStringList names;
        for (QObject* child : form().ToolBar1->children()) {
            if (auto* w = qobject_cast<QWidget*>(child); w && !w->objectName().isEmpty()
                                                        && !w->objectName().startsWith(QLatin1String("qt_")))
                names << w->objectName();
        }
        const QStringList expected = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton5", "ToolButton11",
                                      "ToolButton4", "tbFirst", "tbPri", "tbNext", "tbLast", "ToolButton10",
                                      "ToolButton8", "ToolButton6", "ToolButton7", "ToolButtonRecord", "ToolButton12",
                                      "ToolButton9"};
        QCOMPARE(names, expected);
        QCOMPARE(form().ToolBar1->findChild<QWidget*>("ToolButton4")->width(), 92);
    }

    void gridColumns()
    {
        QTableView* grid = form().DBGrid1;
        QStringList titles;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, QStringList({"Unregelm\u00E4\u00DFigkeit", "OrdnungsNr", "Bemerkungen", "niedrigD",
                                      "mittelC", "hochB"}));
        QCOMPARE(grid->columnWidth(0), 309);
        QCOMPARE(grid->model()->rowCount(), 89);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->palette().color(QPalette::Base), QColor(192, 192, 192));
    }

    void firstActivation()
    {
        QCOMPARE(statusPanel(form(), 1), QStringLiteral("DSNr: 1 von 89"));
        QCOMPARE(statusPanel(form(), 0), QString::fromUtf8(TForm3::kGeneralHint));
        QCOMPARE(form().ComboBox1->currentIndex(), 0);
        QCOMPARE(form().ComboBox1->currentText(), QStringLiteral("Stumpfnaht"));
        QCOMPARE(form().ComboBox2->currentIndex(), 0);
        QCOMPARE(form().ComboBox2->currentText(), QStringLiteral("B (hoch)"));
        QCOMPARE(QApplication::focusWidget(), form().ToolBar1);
        QCOMPARE(state().iGroup, 1);
        QCOMPARE(state().iRecNo, 1);
        QCOMPARE(state().iRecCount, 89);
        QVERIFY(state().bButtWeld);
        QCOMPARE(form().Table1().RecNo(), 1);
        QCOMPARE(form().DBGrid1->currentIndex().row(), 0);
        QCOMPARE(form().StaticText2->text().toStdString(), state().aResult[1]);
        QVERIFY(!state().aResult[1].empty());
        QCOMPARE(form().DBEdit5->text().toStdString(), form().Table1().FieldText("hochB"));
        QCOMPARE(form().SpinEdit1->text(), QStringLiteral("10,00"));
    }

    // Every row change shows the row's fields and its result.
    void rowChangeShowsTheRow()
    {
        QTest::mouseClick(form().tbNext, Qt::LeftButton);
        QTest::mouseClick(form().tbNext, Qt::LeftButton);
        Catalogue& table = form().Table1();
        QCOMPARE(table.RecNo(), 3);
        QCOMPARE(state().iRecNo, 3);
        QCOMPARE(statusPanel(form(), 1), QStringLiteral("DSNr: 3  von 89"));
        QCOMPARE(form().DBEdit1->text().toStdString(), table.FieldText("Gruppe"));
        QCOMPARE(form().DBEdit2->text().toStdString(), table.FieldText("tmm"));
        QCOMPARE(form().DBEdit3->text().toStdString(), table.FieldText("Unregelm\u00E4\u00DFigkeit"));
        QCOMPARE(form().DBEdit4->text().toStdString(), table.FieldText("OrdnungsNr"));
        QCOMPARE(form().DBMemo1->toPlainText().toStdString(), table.FieldText("Bemerkungen"));
        QCOMPARE(form().DBEdit5->text().toStdString(), table.FieldText("hochB"));
        QCOMPARE(form().StaticText2->text().toStdString(), state().aResult[3]);
        QCOMPARE(form().DBGrid1->currentIndex().row(), 2);
        QCOMPARE(QApplication::focusWidget(), form().DBGrid1);
    }

    // On row 2, "previous" reaches row 1 without setting Bof; the second
    // "previous" finds Bof and runs the first-row command.
    void previousRowAtTheStart()
    {
        form().tbNextClick();
        form().tbPriClick();
        QCOMPARE(form().Table1().RecNo(), 1);
        QVERIFY(form().tbFirst->isEnabled());
        QVERIFY(form().tbPri->isEnabled());
        form().tbPriClick();
        QCOMPARE(form().Table1().RecNo(), 1);
        QVERIFY(!form().tbFirst->isEnabled());
        QVERIFY(!form().tbPri->isEnabled());
        QVERIFY(form().tbNext->isEnabled());
        QVERIFY(form().tbLast->isEnabled());
        // The menu item still works while the button is disabled.
        state().aResult[1].clear();
        form().VorherigerDatensatz1->trigger();
        QCOMPARE(form().Table1().RecNo(), 1);
        QVERIFY(!state().aResult[1].empty());
    }

    void nextRowAtTheEnd()
    {
        form().tbLastClick();
        QCOMPARE(form().Table1().RecNo(), 89);
        QCOMPARE(statusPanel(form(), 1), QStringLiteral("DSNr: 89  von 89"));
        form().tbPriClick();
        QCOMPARE(form().Table1().RecNo(), 88);
        QVERIFY(form().tbNext->isEnabled());
        form().tbNextClick();
        QCOMPARE(form().Table1().RecNo(), 89);
        QVERIFY(form().tbNext->isEnabled());
        form().tbNextClick(); // the attempt past the end sets Eof
        QCOMPARE(form().Table1().RecNo(), 89);
        QVERIFY(!form().tbNext->isEnabled());
        QVERIFY(!form().tbLast->isEnabled());
        QVERIFY(form().tbFirst->isEnabled());
        QVERIFY(form().tbPri->isEnabled());
    }

    // Browsing with the arrow keys and the mouse goes through the catalogue
    // and leaves the buttons as they are.
    void gridBrowsing()
    {
        form().tbFirstClick();
        QCOMPARE(QApplication::focusWidget(), form().DBGrid1);
        QTest::keyClick(form().DBGrid1, Qt::Key_Down);
        QTest::keyClick(form().DBGrid1, Qt::Key_Down);
        QCOMPARE(form().Table1().RecNo(), 3);
        QCOMPARE(statusPanel(form(), 1), QStringLiteral("DSNr: 3  von 89"));
        QCOMPARE(form().StaticText2->text().toStdString(), state().aResult[3]);
        QVERIFY(!form().tbFirst->isEnabled());
        QVERIFY(!form().tbPri->isEnabled());

        QTableView* grid = form().DBGrid1;
        const QModelIndex row5 = grid->model()->index(4, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(row5).center());
        QCOMPARE(form().Table1().RecNo(), 5);
        QCOMPARE(state().iRecNo, 5);
        QCOMPARE(form().DBEdit3->text().toStdString(), form().Table1().FieldText("Unregelm\u00E4\u00DFigkeit"));
    }

    void displayFieldsPassTheFocus_data()
    {
        QTest::addColumn<QString>("field");
        for (const char* name : {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4", "DBMemo1", "DBEdit5"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void displayFieldsPassTheFocus()
    {
        QFETCH(QString, field);
        auto* widget = form().findChild<QWidget*>(field);
        QVERIFY(widget);
        form().DBGrid1->setFocus();
        QWidget* target = qobject_cast<QPlainTextEdit*>(widget) ? qobject_cast<QPlainTextEdit*>(widget)->viewport()
                                                                : widget;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(QApplication::focusWidget(), form().ToolBar1);
        form().DBGrid1->setFocus();
        widget->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), form().ToolBar1);
    }
};

QTEST_MAIN(Form3NavigationTest)
#include "Form3NavigationTest.moc"
