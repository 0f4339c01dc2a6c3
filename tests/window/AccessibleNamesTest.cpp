// Every window can be read and driven through the desktop's accessibility
// interface: each control a user can reach or work has a name there.

#include "WindowTestSupport.h"
#include "backup/BackupForm.h"
#include "help/HelpViewer.h"
#include "help/InfoUnit.h"
#include "report/ReportPreview.h"
#include "startup/Splash.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextEdit>

#include <functional>
#include <memory>

using namespace veltrano;
using namespace veltrano::test;

namespace {

bool isControl(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QProgressBar*>(w) || qobject_cast<const QTabBar*>(w) || w->focusPolicy() != Qt::NoFocus;
}

// A control inside another one (the line edit of a selector, the header of
// the grid, the scroll bars of a view) is read as part of that one.
bool isPartOfAControl(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (isControl(p))
            return true;
    return false;
}

QString pathOf(const QWidget* w, const QWidget* window)
{
    QStringList names;
    for (; w && w != window; w = w->parentWidget())
        names.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    return names.join(QLatin1Char('/'));
}

// The controls of window, as shown, that have no accessible name.
QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    int controls = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || !isControl(w) || isPartOfAControl(w, window))
            continue;
        ++controls;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << pathOf(w, window);
    }
    if (controls == 0)
        unnamed << QStringLiteral("(no control found at all)");
    return unnamed;
}

} // namespace

class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useGermanLocale(); }
    void cleanup() { delete HelpViewerWindow(); }

    void everyControlHasAName_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* name : {"main window", "main window, fillet weld", "backup dialog", "backup progress",
                                 "splash", "info", "help viewer", "report preview"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyControlHasAName()
    {
        QFETCH(QString, window);
        QTemporaryDir dir;
        EvaluationState state;
        QPrinter printer;
        std::unique_ptr<QWidget> owner;
        QWidget* shown = nullptr;
        if (window.startsWith(QLatin1String("main window"))) {
            auto form = std::make_unique<TForm3>(state, builtCatalogue());
            if (window.endsWith(QLatin1String("fillet weld")))
                form->ComboBox1->setCurrentIndex(1);
            owner = std::move(form);
        } else if (window == QLatin1String("backup dialog")) {
            owner = std::make_unique<TFormBackup>(nullptr, std::function<void()>(), dir.path());
        } else if (window == QLatin1String("backup progress")) {
            owner = std::make_unique<TFormBackup>(nullptr, std::function<void()>(), dir.path());
            shown = new TBackupProgress(QStringLiteral("Datenbank-Sicherungskopie"), owner.get());
        } else if (window == QLatin1String("splash")) {
            owner = std::make_unique<TSplashForm>();
        } else if (window == QLatin1String("info")) {
            owner = std::make_unique<TInfo>();
        } else if (window == QLatin1String("help viewer")) {
            auto viewer = std::make_unique<THelpViewer>();
            QVERIFY(viewer->OpenBook(QStringLiteral(VELTRANO_HELP_SOURCE_DIR "/HI5817.html")));
            owner = std::move(viewer);
        } else {
            owner = std::make_unique<report::ReportPreviewDialog>(report::ReportParameters(), printer);
        }
        if (!shown)
            shown = owner.get();
        // Laid out as the user sees it: a toolbar shows its buttons only then.
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QStringList unnamed = unnamedControls(shown);
        QVERIFY2(unnamed.isEmpty(),
                 qPrintable(QStringLiteral("without a name: ") + unnamed.join(QStringLiteral(", "))));
    }

    // The toolbar buttons are read by their hints, and a weld input by the
    // caption beside it, also once the seam type has changed that caption.
    void namesFollowTheWindow()
    {
        MainWindow main;
        TForm3& form = main.form;
        const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
        QCOMPARE(name(form.tbNext), QStringLiteral("n\u00E4chtster Datensatz"));
        QCOMPARE(name(form.ToolButton11), QStringLiteral("ProgrammEnde"));
        QCOMPARE(name(form.SpinEdit3), QStringLiteral("Nahtbreite b [mm]"));
        form.ComboBox1->setCurrentIndex(1);
        QCOMPARE(name(form.SpinEdit1), QStringLiteral("Nahtdicke a[mm]"));
        form.ComboBox1->setCurrentIndex(0);
        QCOMPARE(name(form.SpinEdit1), QStringLiteral("Materialdicke t[mm]"));
    }
};

QTEST_MAIN(AccessibleNamesTest)
#include "AccessibleNamesTest.moc"
