// The weld inputs of the main window: seam type and quality level, the spin
// fields, the leave checks, the status-bar hints and the program's keys.

#include "WindowTestSupport.h"
#include "window/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>

using namespace veltrano;
using namespace veltrano::test;

class Form3InputsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ModalAnswerer> m_boxes;

    TForm3& form() { return m_main->form; }
    EvaluationState& state() { return m_main->state; }

    WeldSpinEdit* spin(const QString& name) { return form().findChild<WeldSpinEdit*>(name); }

    // Gives an input the focus as the Tab key does, so its enter handler runs.
    void focusInput(QWidget* input)
    {
        input->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), input);
    }

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
        QCOMPARE(m_boxes->pending(), 0);
        m_boxes.reset();
    }

    void seamTypeChange()
    {
        form().tbLastClick();
        form().ComboBox1->setCurrentIndex(1);
        QVERIFY(!state().bButtWeld);
        QCOMPARE(form().Label1->text(), QStringLiteral("Nahtdicke a[mm]:"));
        QVERIFY(form().Label4->isHidden());
        QVERIFY(form().SpinEdit4->isHidden());
        QCOMPARE(form().SpinEdit1->value(), 5.0);
        QCOMPARE(form().SpinEdit3->value(), 7.0);
        QCOMPARE(form().SpinEdit1->maximum(), 30.0);
        // The change went back to record 1 and evaluated it for the fillet weld.
        QCOMPARE(form().Table1().RecNo(), 1);
        QCOMPARE(filledEntries(state()), state().aResult[1].empty() ? 0 : 1);
        QCOMPARE(form().StaticText2->text().toStdString(), state().aResult[1]);

        // The thickness cannot be raised above the fillet weld's maximum.
        form().SpinEdit1->setValue(30);
        focusInput(form().SpinEdit1);
        QTest::keyClick(form().SpinEdit1, Qt::Key_Up);
        QCOMPARE(form().SpinEdit1->value(), 30.0);

        form().ComboBox1->setCurrentIndex(0);
        QVERIFY(state().bButtWeld);
        QCOMPARE(form().Label1->text(), QStringLiteral("Materialdicke t[mm]:"));
        QVERIFY(!form().Label4->isHidden());
        QVERIFY(!form().SpinEdit4->isHidden());
        QCOMPARE(form().SpinEdit1->value(), 10.0);
        QCOMPARE(form().SpinEdit3->value(), 12.0);
        QCOMPARE(form().SpinEdit1->maximum(), 100.0);
    }

    // A text of the user's own that names no item is no seam type: the
    // fillet layout, and the rules see neither seam type.
    void typedSeamType_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index");
        QTest::newRow("no item") << "X" << -1;
        QTest::newRow("an item's text") << "Kehlnaht" << 1;
    }

    void typedSeamType()
    {
        QFETCH(QString, typed);
        QFETCH(int, index);
        focusInput(form().ComboBox1);
        form().ComboBox1->lineEdit()->selectAll();
        QTest::keyClicks(form().ComboBox1, typed);
        QCOMPARE(form().ComboBox1->currentText(), typed);
        QCOMPARE(TForm3::ItemIndex(form().ComboBox1), index);
        QVERIFY(!state().bButtWeld);
        QVERIFY(form().SpinEdit4->isHidden());
        QCOMPARE(form().Label1->text(), QStringLiteral("Nahtdicke a[mm]:"));
    }

    void spinFields()
    {
        WeldSpinEdit* t = form().SpinEdit1;
        QCOMPARE(t->text(), QStringLiteral("10,00"));
        QCOMPARE(form().SpinEdit2->text(), QStringLiteral("100,00"));
        QCOMPARE(form().SpinEdit4->text(), QStringLiteral("2,00"));
        focusInput(t);
        QTest::keyClicks(t, QStringLiteral("7"));
        QTest::keyClick(t, Qt::Key_Backspace);
        QCOMPARE(t->value(), 10.0);
        QTest::keyClick(t, Qt::Key_Up);
        QCOMPARE(t->text(), QStringLiteral("10,50"));
        QTest::keyClick(t, Qt::Key_PageUp);
        QTest::keyClick(t, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(t->value(), 11.0);
        // A value change empties the cache and evaluates record 1 again.
        QCOMPARE(form().Table1().RecNo(), 1);
        QCOMPARE(filledEntries(state()), state().aResult[1].empty() ? 0 : 1);
        // The smallest values hold.
        form().SpinEdit4->setValue(1);
        QTest::keyClick(form().SpinEdit4, Qt::Key_Down);
        QCOMPARE(form().SpinEdit4->value(), 1.0);
    }

    void qualityLevel_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("welderTest");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("column");
        QTest::newRow("C") << 1 << false << 2 << "mittelC";
        QTest::newRow("D") << 2 << false << 3 << "niedrigD";
        QTest::newRow("C with welder test") << 1 << true << 1 << "hochB";
        QTest::newRow("D with welder test") << 2 << true << 1 << "hochB";
    }

    void qualityLevel()
    {
        QFETCH(int, item);
        QFETCH(bool, welderTest);
        QFETCH(int, group);
        QFETCH(QString, column);
        form().CheckBox1->setChecked(welderTest);
        form().ComboBox2->setCurrentIndex(item);
        QCOMPARE(state().iGroup, group);
        QCOMPARE(form().ComboBox2->currentIndex(), group - 1);
        QCOMPARE(form().DBEdit5->text().toStdString(), form().Table1().FieldText(column.toStdString()));
        form().tbNextClick();
        QCOMPARE(form().DBEdit5->text().toStdString(), form().Table1().FieldText(column.toStdString()));
    }

    void leaveChecks_data()
    {
        QTest::addColumn<bool>("fillet");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("tooLarge");
        QTest::addColumn<double>("after");
        QTest::newRow("butt width 35 passes") << false << "SpinEdit3" << 35.0 << false << 35.0;
        QTest::newRow("butt width 36") << false << "SpinEdit3" << 36.0 << true << 10.0;
        QTest::newRow("fillet width 15 passes") << true << "SpinEdit3" << 15.0 << false << 15.0;
        QTest::newRow("fillet width 16") << true << "SpinEdit3" << 16.0 << true << 8.0;
        QTest::newRow("root width 12 passes") << false << "SpinEdit4" << 12.0 << false << 12.0;
        QTest::newRow("root width 12.5") << false << "SpinEdit4" << 12.5 << true << 2.0;
        QTest::newRow("length has no check") << false << "SpinEdit2" << 1000.0 << false << 1000.0;
    }

    void leaveChecks()
    {
        QFETCH(bool, fillet);
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(bool, tooLarge);
        QFETCH(double, after);
        if (fillet)
            form().ComboBox1->setCurrentIndex(1);
        WeldSpinEdit* input = spin(field);
        focusInput(input);
        input->setValue(value);
        if (tooLarge)
            m_boxes->expect(QMessageBox::Ok);
        form().CheckBox1->setFocus(Qt::TabFocusReason);
        QCOMPARE(input->value(), after);
        if (tooLarge) {
            QCOMPARE(m_boxes->answered().size(), std::size_t(1));
            const SeenWindow& box = m_boxes->answered().front();
            QCOMPARE(box.title, QStringLiteral("Hinweis"));
            QCOMPARE(box.text, QStringLiteral("Wert zu gro\u00DF !"));
            QCOMPARE(box.icon, QMessageBox::Information);
            QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            // The reset value was evaluated: record 1 is the only entry.
            QCOMPARE(form().StaticText2->text().toStdString(), state().aResult[1]);
        }
        QCOMPARE(statusPanel(form(), 0), QString::fromUtf8(TForm3::kGeneralHint));
    }

    void hints_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("fillet");
        QTest::addColumn<QString>("hint");
        QTest::newRow("seam type") << "ComboBox1" << false << "Bitte Nahtart w\u00E4hlen";
        QTest::newRow("level") << "ComboBox2" << false << "Bitte Bewertungsgruppe w\u00E4hlen";
        QTest::newRow("thickness, butt") << "SpinEdit1" << false << "Bitte Materialdicke in mm eingeben";
        QTest::newRow("thickness, fillet") << "SpinEdit1" << true << "Bitte Nahtdicke in mm eingeben";
        QTest::newRow("length") << "SpinEdit2" << false << "Bitte Nahtl\u00E4nge in mm eingeben";
        QTest::newRow("width") << "SpinEdit3" << false << "Bitte Nahtbreite in mm eingeben";
        QTest::newRow("root width") << "SpinEdit4" << false << "Bitte Wurzelbreite in mm eingeben";
    }

    void hints()
    {
        QFETCH(QString, input);
        QFETCH(bool, fillet);
        QFETCH(QString, hint);
        if (fillet)
            form().ComboBox1->setCurrentIndex(1);
        QWidget* widget = form().findChild<QWidget*>(input);
        focusInput(widget);
        QCOMPARE(statusPanel(form(), 0), hint);
        QCOMPARE(QString::fromStdString(state().aResult[0]), QString::fromUtf8(TForm3::kGeneralHint));
        form().DBGrid1->setFocus(Qt::TabFocusReason);
        QCOMPARE(statusPanel(form(), 0), QString::fromUtf8(TForm3::kGeneralHint));
    }

    void keys_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("enterClearsCache");
        QTest::newRow("seam type") << "ComboBox1" << false;
        QTest::newRow("level") << "ComboBox2" << false;
        QTest::newRow("thickness") << "SpinEdit1" << true;
        QTest::newRow("length") << "SpinEdit2" << false;
        QTest::newRow("width") << "SpinEdit3" << false;
        QTest::newRow("root width") << "SpinEdit4" << false;
    }

    void keys()
    {
        QFETCH(QString, input);
        QFETCH(bool, enterClearsCache);
        int helpCalls = 0;
        form().setCommand(TForm3::Command::Help, [&helpCalls] { ++helpCalls; });
        QWidget* widget = form().findChild<QWidget*>(input);

        form().ToolButton8Click(); // every entry filled
        QVERIFY(!state().aResult[2].empty());
        focusInput(widget);
        QTest::keyClick(widget, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form().DBGrid1);
        QCOMPARE(state().aResult[2].empty(), enterClearsCache);

        focusInput(widget);
        QTest::keyClick(widget, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), form().ToolBar1);

        focusInput(widget);
        QTest::keyClick(widget, Qt::Key_F1);
        QCOMPARE(helpCalls, 1);
        QCOMPARE(QApplication::focusWidget(), widget);
    }

    void tabOrder_data()
    {
        QTest::addColumn<bool>("fillet");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("butt weld") << false << QStringList{"ComboBox1", "ComboBox2", "SpinEdit1", "SpinEdit2",
                                                           "SpinEdit3", "SpinEdit4", "ToolBar1"};
        QTest::newRow("fillet weld skips the root width")
            << true << QStringList{"ComboBox1", "ComboBox2", "SpinEdit1", "SpinEdit2", "SpinEdit3", "ToolBar1"};
    }

    void tabOrder()
    {
        QFETCH(bool, fillet);
        QFETCH(QStringList, order);
        if (fillet)
            form().ComboBox1->setCurrentIndex(1);
        focusInput(form().ComboBox1);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
    }

    // An option counts from the next evaluation; the cache keeps what it has.
    void optionsTakeEffectAtTheNextEvaluation()
    {
        form().ToolButton8Click();
        const auto before = state().aResult;
        form().CheckBox1->setChecked(true);
        form().CheckBox2->setChecked(true);
        QCOMPARE(state().aResult, before);
    }
};

QTEST_MAIN(Form3InputsTest)
#include "Form3InputsTest.moc"
