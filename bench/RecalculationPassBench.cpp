// The recalculation pass "Neu-Berechnung" of the real main window: 89 row
// changes, each with its display update and evaluation, and the return to the
// starting row.  Run by hand: QT_QPA_PLATFORM=offscreen ./build/bin/recalculation_pass_bench

#include "window/ENUnit3.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <QTest>

using namespace veltrano;

class RecalculationPassBench : public QObject {
    Q_OBJECT

private slots:
    void recalculationPass_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("level B") << 0;
        QTest::newRow("level C") << 1;
        QTest::newRow("level D") << 2;
    }

    void recalculationPass()
    {
        QFETCH(int, level);
        EvaluationState state;
        TForm3 form(state, std::filesystem::path(VELTRANO_BENCH_CATALOGUE));
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ComboBox2->setCurrentIndex(level);
        form.DBGrid1->setCurrentIndex(form.DBGrid1->model()->index(39, 0));
        QBENCHMARK
        {
            form.ToolButton8Click();
        }
        QCOMPARE(form.Table1().RecNo(), 40);
    }
};

QTEST_MAIN(RecalculationPassBench)
#include "RecalculationPassBench.moc"
