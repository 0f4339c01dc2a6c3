// The inspection record window driven as an inspector drives it: keys to
// the focus widget, clicks where the controls stand, the save question
// answered with a key.  Runs offscreen on the built catalogue.

#include "WindowTestSupport.h"
#include "record/RecordFile.h"
#include "recordprint/RecordPrint.h"
#include "recordwindow/RecordForm.h"
#include "window/ENUnit3.h"
#include "window/RecordWindowLink.h"
#include "window/SpinEdit.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <functional>
#include <memory>

using namespace veltrano;
using veltrano::record::Record;

namespace {

enum Column { ColRow, ColValue, ColLength, ColLocation, ColRemark, ColJudgement, ColLimit, ColVerdict, ColReason };

// The focus widget, once the window has it back (after a dialog closed).
QWidget* focus()
{
    (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
    return QApplication::focusWidget();
}

void type(const QString& text)
{
    QTest::keyClicks(focus(), text);
}

void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QTest::keyClick(focus(), k, m);
}

void click(QWidget* w)
{
    QVERIFY(w->isVisible());
    // On a small screen at high scaling the window scrolls: first into view.
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p))
            area->ensureWidgetVisible(w);
    // The control that really stands on top at its centre gets the click.
    const QPoint centre = w->rect().center();
    QWidget* top = w->window()->childAt(w->mapTo(w->window(), centre));
    QVERIFY2(top == w || w->isAncestorOf(top), qPrintable(w->objectName()));
    QTest::mouseClick(top, Qt::LeftButton, Qt::NoModifier, top->mapFrom(w, centre));
}

// The next modal window, answered from inside its own event loop as the
// inspector would answer it.
constexpr auto kAnyWindow = test::ModalAnswerer::Scope::AllWindows;
using test::pressKey;

// What the answered window at index said: a message box its text, another
// window its title.
QString said(const test::ModalAnswerer& answers, std::size_t index)
{
    if (index >= answers.answered().size())
        return {};
    const test::SeenWindow& w = answers.answered()[index];
    return w.className == QLatin1String("QMessageBox") ? w.text : w.title;
}

// Types a full path into the file dialog's name field and confirms it.
std::function<void(QWidget*)> typeFileName(const QString& path, QString* proposed)
{
    return [path, proposed](QWidget*) {
        auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (proposed && name)
            *proposed = name->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), path);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
}

// After a dialog: the window active again, as the desktop makes it.
void backTo(QWidget* window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QList<TRecordForm*> recordWindows()
{
    QList<TRecordForm*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<TRecordForm*>(w); form && form->isVisible())
            found << form;
    return found;
}

QString cell(const TRecordForm& form, int row, int column, int role = Qt::DisplayRole)
{
    auto* view = form.FindingsView;
    return view->model()->index(row, column).data(role).toString();
}

} // namespace

class RecordWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TRecordForm> makeForm()
    {
        auto form = std::make_unique<TRecordForm>(test::builtCatalogue(), TRecordForm::WeldSource{});
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->show();
        form->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(form.get())); }();
        return form;
    }

    // A weld typed in by keys alone: W1, butt weld, level C, t = 3,3 mm.
    void typeWeld(TRecordForm& form)
    {
        click(form.AddWeldButton);
        QCOMPARE(focus(), form.WeldIdEdit);
        key(Qt::Key_A, Qt::ControlModifier);
        type("W1");
        key(Qt::Key_Return);
        QCOMPARE(focus(), form.SeamBox);
        key(Qt::Key_Return);
        QCOMPARE(focus(), form.LevelBox);
        key(Qt::Key_Down); // B (hoch) -> C (mittel)
        key(Qt::Key_Return);
        QCOMPARE(focus(), form.TEdit);
        key(Qt::Key_A, Qt::ControlModifier);
        type("3,3");
        key(Qt::Key_Return);
        QCOMPARE(focus(), form.LEdit);
    }

    // A finding typed into the table: catalogue row by its number, the value
    // with a decimal comma.
    void typeFinding(TRecordForm& form, const QString& row, const QString& value)
    {
        click(form.AddFindingButton);
        QVERIFY(qobject_cast<QLineEdit*>(focus()));
        type(row);
        key(Qt::Key_Return);
        QVERIFY(qobject_cast<QLineEdit*>(focus()));
        type(value);
        key(Qt::Key_Return);
        key(Qt::Key_Escape); // leaves the length field as it was
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        // The recovery copy goes to a data folder of this run alone.
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        QVERIFY(TRecordForm::recoveryFile().startsWith(m_dir.path()));
        test::useGermanLocale();
    }

    void cleanup() { TRecordForm::discardRecovery(); }

    void typedFindingShowsExactLimitAndVerdictLive()
    {
        auto form = makeForm();
        typeWeld(*form);
        const Record& r = form->currentRecord();
        QCOMPARE(r.welds.size(), std::size_t(1));
        QCOMPARE(r.welds[0].id, std::string("W1"));
        QCOMPARE(r.welds[0].level, QualityLevel::C);
        QCOMPARE(r.welds[0].t.text, std::string("3.3"));

        typeFinding(*form, "13", "0,34");
        QCOMPARE(r.welds[0].findings.size(), std::size_t(1));
        QCOMPARE(r.welds[0].findings[0].record, 13);
        QCOMPARE(r.welds[0].findings[0].value.text, std::string("0.34"));
        // 0,1 t of 3,3 mm, exactly, and a verdict in words and colour.
        QCOMPARE(cell(*form, 0, ColLimit), QStringLiteral("0,33 mm"));
        QCOMPARE(cell(*form, 0, ColValue), QStringLiteral("0,34 mm"));
        QCOMPARE(cell(*form, 0, ColVerdict), QStringLiteral("zurückgewiesen"));
        QCOMPARE(cell(*form, 0, ColReason), QStringLiteral("Messwert 0,34 mm > Grenzwert 0,33 mm"));
        QVERIFY(form->FindingsView->model()->index(0, ColVerdict).data(Qt::BackgroundRole).isValid());
        QVERIFY(form->WeldVerdictLabel->text().startsWith(QStringLiteral("Naht W1: zurückgewiesen")));
        QVERIFY(form->RecordVerdictLabel->text().startsWith(QStringLiteral("Protokoll: zurückgewiesen")));

        // Undo and redo, from the table.
        form->FindingsView->setFocus();
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form->currentRecord().welds[0].findings[0].value.text, std::string("0"));
        QCOMPARE(cell(*form, 0, ColVerdict), QStringLiteral("angenommen"));
        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(cell(*form, 0, ColVerdict), QStringLiteral("zurückgewiesen"));

        // The catalogue row chosen by its reference number, then by name.
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, ColRow));
        key(Qt::Key_Return);
        type("5013");
        key(Qt::Key_Return);
        key(Qt::Key_Escape);
        QVERIFY(cell(*form, 0, ColRow).contains(QStringLiteral("5013")));
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, ColRow));
        key(Qt::Key_Return);
        type("einbrandkerbe");
        key(Qt::Key_Return);
        key(Qt::Key_Escape);
        QVERIFY(cell(*form, 0, ColRow).contains(QStringLiteral("Einbrandkerbe")));

        // Picked from the offered list, which has the keyboard while it is open.
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, ColRow));
        key(Qt::Key_Return);
        type("wurzelkerb");
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
        QTRY_VERIFY(cell(*form, 0, ColRow).contains(QStringLiteral("5013 Wurzelkerbe")));
        QTRY_COMPARE(form->FindingsView->currentIndex().column(), int(ColValue));
        key(Qt::Key_Escape);

        // A row whose text needs the inspector stays open until judged.
        typeFinding(*form, "35", "1");
        QCOMPARE(cell(*form, 1, ColVerdict), QStringLiteral("offen"));
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(1, ColJudgement));
        key(Qt::Key_Return);
        key(Qt::Key_Down); // "angenommen"
        key(Qt::Key_Return);
        key(Qt::Key_Escape);
        QCOMPARE(form->currentRecord().welds[0].findings[1].judgement, record::Judgement::Accepted);
        QCOMPARE(cell(*form, 1, ColVerdict), QStringLiteral("angenommen"));
        QVERIFY(cell(*form, 1, ColReason).startsWith(QStringLiteral("vom Prüfer angenommen")));
    }

    void badEntriesAreMarkedWithTheirReasonAndNotTakenOver()
    {
        auto form = makeForm();
        typeWeld(*form);
        typeFinding(*form, "13", "0,3");
        QCOMPARE(cell(*form, 0, ColVerdict), QStringLiteral("angenommen"));

        struct Case {
            const char* name;
            int column;
            const char* typed;
            const char* reason;
        };
        const Case cases[] = {
            {"value no number", ColValue, "abc", "Der Messwert muss eine Zahl ab 0 sein"},
            {"value negative", ColValue, "-1", "Der Messwert muss eine Zahl ab 0 sein"},
            {"length no number", ColLength, "1,2,3", "Die Länge muss eine Zahl ab 0 sein"},
            {"row unknown", ColRow, "gibt es nicht", "Keine Katalogzeile für diese Naht passt"},
        };
        for (const Case& c : cases) {
            form->FindingsView->setFocus();
            form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, c.column));
            key(Qt::Key_Return);
            key(Qt::Key_A, Qt::ControlModifier);
            type(QString::fromUtf8(c.typed));
            key(Qt::Key_Return);
            key(Qt::Key_Escape);
            QVERIFY2(cell(*form, 0, c.column) == QString::fromUtf8(c.typed), c.name);
            QVERIFY2(cell(*form, 0, c.column, Qt::ToolTipRole).contains(QString::fromUtf8(c.reason)),
                     qPrintable(cell(*form, 0, c.column, Qt::ToolTipRole)));
            QCOMPARE(form->currentRecord().welds[0].findings[0].value.text, std::string("0.3"));
            QCOMPARE(form->currentRecord().welds[0].findings[0].record, 13);
        }
        QVERIFY(form->currentRecord().welds[0].findings[0].length == std::nullopt);
        // Refused entries are not saved silently: the inspector is told.
        {
            const QString file = m_dir.filePath(QStringLiteral("bad.json"));
            test::ModalAnswerer warning({pressKey(Qt::Key_Return)}, kAnyWindow);
            QVERIFY(!form->saveTo(file));
            QVERIFY(warning.finished());
            QVERIFY(warning.answered().front().text.contains(QStringLiteral("ungültig")));
            QVERIFY(!QFile::exists(file));
            backTo(form.get());
        }
        // Esc on the refused entry brings the last valid one back.
        form->FindingsView->setFocus();
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, ColRow));
        key(Qt::Key_Escape);
        QVERIFY(cell(*form, 0, ColRow).startsWith(QStringLiteral("13 ")));
        QVERIFY(cell(*form, 0, ColRow, Qt::ToolTipRole).isEmpty());

        // A dimension out of range stays in its field, marked, with the reason.
        form->TEdit->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        type("0,1");
        QVERIFY(form->TEdit->toolTip().contains(QStringLiteral("0,5 bis 1000")));
        key(Qt::Key_Return);
        QCOMPARE(form->TEdit->text(), QStringLiteral("0,1"));
        QCOMPARE(form->currentRecord().welds[0].t.text, std::string("3.3"));
        form->TEdit->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        type("4");
        key(Qt::Key_Return);
        QVERIFY(form->TEdit->toolTip().isEmpty());
        QCOMPARE(form->currentRecord().welds[0].t.text, std::string("4"));
    }

    void deleteRemovesTheFindingAndWeldsAreDuplicatedAndRemoved()
    {
        auto form = makeForm();
        typeWeld(*form);
        typeFinding(*form, "13", "0,2");
        typeFinding(*form, "1", "1");
        QCOMPARE(form->currentRecord().welds[0].findings.size(), std::size_t(2));
        form->FindingsView->setFocus();
        form->FindingsView->setCurrentIndex(form->FindingsView->model()->index(0, ColValue));
        key(Qt::Key_Delete);
        QCOMPARE(form->currentRecord().welds[0].findings.size(), std::size_t(1));
        QCOMPARE(form->currentRecord().welds[0].findings[0].record, 1);

        click(form->DuplicateWeldButton);
        QCOMPARE(form->currentRecord().welds.size(), std::size_t(2));
        QCOMPARE(form->currentRecord().welds[1].id, std::string("W1-1"));
        QCOMPARE(form->currentRecord().welds[1].findings.size(), std::size_t(1));
        QCOMPARE(form->currentWeld(), 1);
        form->WeldList->setFocus();
        key(Qt::Key_Up);
        QCOMPARE(form->currentWeld(), 0);
        QVERIFY(form->WeldVerdictLabel->text().startsWith(QStringLiteral("Naht W1:")));
        key(Qt::Key_Down);
        QCOMPARE(form->currentWeld(), 1);
        QVERIFY(form->WeldVerdictLabel->text().startsWith(QStringLiteral("Naht W1-1:")));
        click(form->RemoveWeldButton);
        QCOMPARE(form->currentRecord().welds.size(), std::size_t(1));
        form->FindingsView->setFocus();
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form->currentRecord().welds.size(), std::size_t(2));
    }

    void savedFileReadsBackEqualAndTheNameIsProposed()
    {
        auto form = makeForm();
        form->OrderEdit->setFocus();
        type("A-4711");
        key(Qt::Key_Return);
        QCOMPARE(focus(), form->ComponentEdit);
        type("Bauteil 3");
        key(Qt::Key_Tab);
        form->DateEdit->setFocus();
        type("10.12.2026");
        key(Qt::Key_Return);
        QCOMPARE(form->currentRecord().inspection.date, std::optional<std::string>("2026-12-10"));
        typeWeld(*form);
        typeFinding(*form, "13", "0,34");
        QVERIFY(form->isModified());

        const QString file = m_dir.filePath(QStringLiteral("typed.json"));
        QString proposed;
        test::ModalAnswerer answer({typeFileName(file, &proposed)}, kAnyWindow);
        form->FindingsView->setFocus();
        key(Qt::Key_S, Qt::ControlModifier); // no file yet: "Speichern unter…"
        QVERIFY(answer.finished());
        backTo(form.get());
        QCOMPARE(proposed, QStringLiteral("A-4711_2026-12-10.vrec"));
        QVERIFY(QFile::exists(file));
        QVERIFY(!form->isModified());
        QVERIFY(form->windowTitle().contains(QStringLiteral("typed.json")));

        const Record read = record::loadRecord(file.toStdString());
        QCOMPARE(record::serializeRecord(read), record::serializeRecord(form->currentRecord()));
        QCOMPARE(read.welds.at(0).findings.at(0).value.text, std::string("0.34"));
        QCOMPARE(read.inspection.component, std::optional<std::string>("Bauteil 3"));
    }

    void theSaveQuestionCancelsDiscardsOrSaves()
    {
        const QString file = m_dir.filePath(QStringLiteral("asked.json"));
        {
            Record r;
            r.inspection.order = "Q-1";
            record::saveRecord(r, file.toStdString());
        }
        auto form = makeForm();
        QVERIFY(form->openFile(file));
        form->OrderEdit->setFocus();
        key(Qt::Key_End);
        type("7");
        key(Qt::Key_Return);
        QVERIFY(form->isModified());

        { // Abbrechen (Escape): nothing happens.
            test::ModalAnswerer answer({pressKey(Qt::Key_Escape)}, kAnyWindow);
            key(Qt::Key_N, Qt::ControlModifier);
            QVERIFY(answer.finished());
            QVERIFY(answer.answered().front().text.contains(QStringLiteral("asked.json")));
            backTo(form.get());
            QVERIFY(form->isModified());
            QCOMPARE(form->currentRecord().inspection.order, std::optional<std::string>("Q-17"));
        }
        { // Speichern (S): the change goes to the file, then the window closes.
            test::ModalAnswerer answer({pressKey(Qt::Key_S)}, kAnyWindow);
            key(Qt::Key_W, Qt::ControlModifier);
            QVERIFY(answer.finished());
            QVERIFY(!form->isVisible());
            QCOMPARE(record::loadRecord(file.toStdString()).inspection.order, std::optional<std::string>("Q-17"));
        }
        form = makeForm();
        QVERIFY(form->openFile(file));
        form->OrderEdit->setFocus();
        type("9");
        key(Qt::Key_Return);
        { // Verwerfen (V): a new record, the file as it was.
            test::ModalAnswerer answer({pressKey(Qt::Key_V)}, kAnyWindow);
            key(Qt::Key_N, Qt::ControlModifier);
            QVERIFY(answer.finished());
            QVERIFY(!form->isModified());
            QVERIFY(form->currentRecord().welds.empty());
            QCOMPARE(form->currentRecord().inspection.order, std::nullopt);
            QCOMPARE(record::loadRecord(file.toStdString()).inspection.order, std::optional<std::string>("Q-17"));
        }
    }

    void unsavedWorkSurvivesACrashInTheRecoveryCopy()
    {
        Record before;
        {
            auto form = makeForm();
            typeWeld(*form);
            typeFinding(*form, "13", "0,34");
            before = form->currentRecord();
            QVERIFY(TRecordForm::recoveryAvailable());
            // The window goes without being closed, as in a crash.
            form.reset();
        }
        QVERIFY(TRecordForm::recoveryAvailable());
        auto form = makeForm();
        QVERIFY(form->restoreRecovery());
        QVERIFY(form->isModified());
        QCOMPARE(record::serializeRecord(form->currentRecord()), record::serializeRecord(before));
        // Saved, the copy is no longer needed.
        QVERIFY(form->saveTo(m_dir.filePath(QStringLiteral("recovered.json"))));
        QVERIFY(!TRecordForm::recoveryAvailable());
    }

    void aFileChangedByAnotherProgramIsNotOverwrittenWithoutAsking()
    {
        const QString file = m_dir.filePath(QStringLiteral("shared.vrec"));
        record::saveRecord(Record{}, file.toStdString());
        auto form = makeForm();
        QVERIFY(form->openFile(file));
        form->OrderEdit->setFocus();
        type("F-1");
        key(Qt::Key_Return);
        // A colleague saves the same file in the meantime.
        {
            Record other;
            other.inspection.order = "Kollege";
            record::saveRecord(other, file.toStdString());
        }
        const auto orderOnDisk = [&] { return record::loadRecord(file.toStdString()).inspection.order; };
        { // Esc: Abbrechen, the colleague's change stays.
            test::ModalAnswerer answer({pressKey(Qt::Key_Escape)}, kAnyWindow);
            key(Qt::Key_S, Qt::ControlModifier);
            QVERIFY(answer.finished());
            QVERIFY(answer.answered().front().text.contains(
                QStringLiteral("wurde inzwischen außerhalb des Programms geändert")));
            QVERIFY(answer.answered().front().text.contains(QStringLiteral("shared.vrec")));
            backTo(form.get());
            QCOMPARE(orderOnDisk(), std::optional<std::string>("Kollege"));
            QVERIFY(form->isModified());
        }
        { // Speichern unter…: to another file, the colleague's stays.
            const QString other = m_dir.filePath(QStringLiteral("mine.vrec"));
            test::ModalAnswerer answers({pressKey(Qt::Key_U), typeFileName(other, nullptr)}, kAnyWindow);
            key(Qt::Key_S, Qt::ControlModifier);
            QVERIFY(answers.finished());
            backTo(form.get());
            QCOMPARE(orderOnDisk(), std::optional<std::string>("Kollege"));
            QCOMPARE(record::loadRecord(other.toStdString()).inspection.order, std::optional<std::string>("F-1"));
            QCOMPARE(form->fileName(), other);
        }
        QVERIFY(form->openFile(file));
        form->OrderEdit->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        type("F-2");
        key(Qt::Key_Return);
        // Unchanged since loaded: saved without a question.
        key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form->isModified());
        QCOMPARE(orderOnDisk(), std::optional<std::string>("F-2"));
        form->OrderEdit->setFocus();
        key(Qt::Key_End);
        type("3");
        key(Qt::Key_Return);
        {
            Record other;
            other.inspection.order = "Kollege";
            record::saveRecord(other, file.toStdString());
        }
        { // Überschreiben, when the user says so.
            test::ModalAnswerer answer({pressKey(Qt::Key_S)}, kAnyWindow);
            key(Qt::Key_S, Qt::ControlModifier);
            QVERIFY(answer.finished());
            backTo(form.get());
            QCOMPARE(orderOnDisk(), std::optional<std::string>("F-23"));
            QVERIFY(!form->isModified());
        }
    }

    void aReadOnlyFileIsRefusedAndSavedUnderAnotherName()
    {
        const QString file = m_dir.filePath(QStringLiteral("locked.vrec"));
        record::saveRecord(Record{}, file.toStdString());
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        auto form = makeForm();
        QVERIFY(form->openFile(file));
        form->OrderEdit->setFocus();
        type("L-1");
        key(Qt::Key_Return);
        const QString other = m_dir.filePath(QStringLiteral("unlocked.vrec"));
        test::ModalAnswerer answers({pressKey(Qt::Key_U), typeFileName(other, nullptr)}, kAnyWindow);
        key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(answers.finished());
        backTo(form.get());
        QVERIFY(said(answers, 0).contains(QStringLiteral("schreibgeschützt")));
        QCOMPARE(record::loadRecord(file.toStdString()).inspection.order, std::nullopt);
        // (The user's bits are what access() says, and root may write any file.)
        QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QCOMPARE(record::loadRecord(other.toStdString()).inspection.order, std::optional<std::string>("L-1"));
        QVERIFY(!form->isModified());
    }

    void savingThroughALinkKeepsTheLinkAndTheMode()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("real"));
        const QString target = m_dir.filePath(QStringLiteral("real/target.vrec"));
        const QString link = m_dir.filePath(QStringLiteral("link.vrec"));
        record::saveRecord(Record{}, target.toStdString());
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(QFile::link(QStringLiteral("real/target.vrec"), link));
        auto form = makeForm();
        QVERIFY(form->openFile(link));
        form->OrderEdit->setFocus();
        type("S-1");
        key(Qt::Key_Return);
        key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!form->isModified());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(record::loadRecord(target.toStdString()).inspection.order, std::optional<std::string>("S-1"));
        QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(form->windowTitle().contains(QStringLiteral("link.vrec")));
    }

    void keyboardOrderAndAccessibleNames()
    {
        auto form = makeForm();
        click(form->AddWeldButton);
        // Every control has an accessible name.
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(form.get()) || !(w->focusPolicy() & Qt::TabFocus))
                continue;
            if (w->parentWidget() && qobject_cast<QAbstractItemView*>(w->parentWidget()->parentWidget()))
                continue; // the view's own viewport
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName() + " " + w->metaObject()->className()));
        }
        // Tab walks header, welds, the weld's data and its findings.
        form->OrderEdit->setFocus();
        QList<QWidget*> seen;
        for (int i = 0; i < 40 && !seen.contains(focus()); ++i) {
            seen << focus();
            key(Qt::Key_Tab);
        }
        const QList<QWidget*> expected = {
            form->OrderEdit, form->RemarksEdit, form->WeldList, form->AddWeldButton, form->WeldIdEdit,
            form->SeamBox,   form->TEdit,       form->BwEdit,   form->FindingsView,  form->AddFindingButton};
        int last = -1;
        for (QWidget* w : expected) {
            const int at = static_cast<int>(seen.indexOf(w));
            QVERIFY2(at > last, qPrintable(w->objectName()));
            last = at;
        }
    }

    void printedPagesAndPdfOfTheWindow()
    {
        auto form = makeForm();
        typeWeld(*form);
        typeFinding(*form, "13", "0,34");
        const auto pages = form->printPages();
        QCOMPARE(pages.size(), std::size_t(1));
        const QString file = m_dir.filePath(QStringLiteral("window.pdf"));
        test::ModalAnswerer answer({typeFileName(file, nullptr)}, kAnyWindow);
        QTimer::singleShot(0, form.get(), [&] { form->PdfAction->trigger(); });
        QTRY_VERIFY(answer.finished());
        QTRY_VERIFY(QFile::exists(file));
        QVERIFY(QFile(file).size() > 1000);
        backTo(form.get());

        // The page preview draws the same pages; Esc closes it.
        test::ModalAnswerer preview({pressKey(Qt::Key_Escape)}, kAnyWindow);
        QTimer::singleShot(0, form.get(), [&] { form->PreviewAction->trigger(); });
        QTRY_VERIFY(preview.finished());
        QVERIFY(preview.answered().front().title.startsWith(QStringLiteral("Seitenansicht")));
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    void mainWindowOpensOneRecordWindowAndLendsItsWeld()
    {
        test::MainWindow mainWindow;
        TForm3& main = mainWindow.form;
        QVERIFY(test::showAndActivate(main));
        QCOMPARE(main.Pruefprotokoll1->text(), QStringLiteral("&Prüfprotokoll"));
        QVERIFY(main.Extra1->actions().contains(main.Pruefprotokoll1));
        QCOMPARE(main.ToolButtonRecord->toolTip(), QStringLiteral("Prüfprotokoll"));
        QCOMPARE(main.ToolButtonRecord->accessibleName(), QStringLiteral("Prüfprotokoll"));

        click(main.ToolButtonRecord);
        QList<TRecordForm*> windows = recordWindows();
        QCOMPARE(windows.size(), 1);
        TRecordForm* form = windows.front();
        QTRY_VERIFY(form->isVisible());
        QVERIFY(main.isEnabled()); // the main window stays usable beside it
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        click(main.ToolButtonRecord);
        QCOMPARE(recordWindows().size(), 1);

        // The main window's weld: fillet weld, level D, its dimensions.
        // Back from another window, the main window sets itself up afresh;
        // the inspector describes the weld after that.
        backTo(&main);
        QTest::qWait(100);
        main.ComboBox1->setFocus();
        key(Qt::Key_Down); // Kehlnaht
        main.ComboBox2->setFocus();
        key(Qt::Key_Down);
        key(Qt::Key_Down); // D (niedrig)
        QCOMPARE(TForm3::ItemIndex(main.ComboBox1), 1);
        QCOMPARE(TForm3::ItemIndex(main.ComboBox2), 2);
        backTo(form);
        click(form->TakeOverButton);
        const Record& r = form->currentRecord();
        QCOMPARE(r.welds.size(), std::size_t(1));
        QCOMPARE(r.welds[0].seam, SeamType::Fillet);
        QCOMPARE(r.welds[0].level, QualityLevel::D);
        QCOMPARE(QString::fromStdString(r.welds[0].t.value()->text(",")),
                 main.SpinEdit1->text().remove(QRegularExpression(",?0+$")));
        {
            test::ModalAnswerer discard({pressKey(Qt::Key_V)}, kAnyWindow);
            form->close();
            QVERIFY(discard.finished());
        }

        // `veltrano FILE`: the window opens on the file and its title names it.
        const QString file = m_dir.filePath(QStringLiteral("named.json"));
        record::saveRecord(Record{}, file.toStdString());
        TRecordForm* named = showRecordWindow(main, file);
        QCOMPARE(named->fileName(), file);
        QVERIFY(named->windowTitle().contains(QStringLiteral("named.json")));
        named->close();
    }

    void escapeOnTheRecoveryQuestionKeepsTheCopy()
    {
        // The copy of a run that ended with unsaved work on a loaded file.
        const QString file = m_dir.filePath(QStringLiteral("lost.vrec"));
        record::saveRecord(Record{}, file.toStdString());
        {
            auto form = makeForm();
            QVERIFY(form->openFile(file));
            form->OrderEdit->setFocus();
            type("E-42");
            key(Qt::Key_Return);
            QVERIFY(TRecordForm::recoveryAvailable());
            form.reset(); // as in a crash
        }
        const QString made = QFileInfo(TRecordForm::recoveryFile()).lastModified().toString(QStringLiteral("HH:mm"));
        test::MainWindow mainWindow;
        TForm3& main = mainWindow.form;
        QVERIFY(test::showAndActivate(main));
        { // Esc: later.  The question names the order, the file and the time of the copy.
            test::ModalAnswerer answers({pressKey(Qt::Key_Escape)}, kAnyWindow);
            offerRecordRecovery(main);
            QVERIFY(answers.finished());
            const QString text = said(answers, 0);
            QVERIFY2(text.contains(QStringLiteral("E-42")) && text.contains(QStringLiteral("lost.vrec")) &&
                         text.contains(made),
                     qPrintable(text));
            QVERIFY(recordWindows().isEmpty());
            QVERIFY(TRecordForm::recoveryAvailable());
        }
        { // Work of this run does not replace the kept copy.
            TRecordForm* window = showRecordWindow(main);
            QVERIFY(QTest::qWaitForWindowActive(window));
            window->OrderEdit->setFocus();
            type("anderes");
            key(Qt::Key_Return);
            test::ModalAnswerer discard({pressKey(Qt::Key_V)}, kAnyWindow);
            window->close();
            QVERIFY(discard.finished());
            QVERIFY(TRecordForm::recoveryAvailable());
        }
        { // Verwerfen, then Abbrechen on the second question, then Esc: still kept.
            test::ModalAnswerer answers({pressKey(Qt::Key_V), pressKey(Qt::Key_Escape), pressKey(Qt::Key_Escape)},
                                        kAnyWindow);
            offerRecordRecovery(main);
            QVERIFY(answers.finished());
            QVERIFY(said(answers, 1).contains(QStringLiteral("endgültig")));
            QVERIFY(TRecordForm::recoveryAvailable());
        }
        { // Wiederherstellen: the work and its file are back, the stamp too.
            test::ModalAnswerer answers({pressKey(Qt::Key_W)}, kAnyWindow);
            offerRecordRecovery(main);
            QVERIFY(answers.finished());
            QCOMPARE(recordWindows().size(), 1);
            TRecordForm* form = recordWindows().front();
            QCOMPARE(form->currentRecord().inspection.order, std::optional<std::string>("E-42"));
            QCOMPARE(form->fileName(), file);
            QVERIFY(form->isModified());
            test::ModalAnswerer discard({pressKey(Qt::Key_V)}, kAnyWindow);
            form->close();
        }
        // Closed without saving, the work is gone for good: nothing is offered.
        QVERIFY(!TRecordForm::recoveryAvailable());

        // Verwerfen confirmed: the copy is deleted.
        Record lost;
        lost.inspection.order = "E-43";
        QFile copy(TRecordForm::recoveryFile());
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(QByteArray::fromStdString(record::serializeRecord(lost)));
        copy.close();
        {
            test::ModalAnswerer answers({pressKey(Qt::Key_V), pressKey(Qt::Key_V)}, kAnyWindow);
            offerRecordRecovery(main);
            QVERIFY(answers.finished());
            QVERIFY(said(answers, 0).contains(QStringLiteral("E-43")));
            QVERIFY(said(answers, 0).contains(QStringLiteral("noch nicht gespeichert")));
        }
        QVERIFY(!TRecordForm::recoveryAvailable());
    }

    void recoveryIsOfferedAtTheNextStart()
    {
        Record lost;
        lost.inspection.order = "R-5";
        QDir().mkpath(QFileInfo(TRecordForm::recoveryFile()).absolutePath());
        QFile copy(TRecordForm::recoveryFile());
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(QByteArray::fromStdString(record::serializeRecord(lost)));
        copy.close();

        test::MainWindow mainWindow;
        TForm3& main = mainWindow.form;
        QVERIFY(test::showAndActivate(main));
        test::ModalAnswerer answer({pressKey(Qt::Key_W)}, kAnyWindow); // "Wiederherstellen"
        offerRecordRecovery(main);
        QVERIFY(answer.finished());
        QVERIFY(answer.answered().front().text.contains(QStringLiteral("nicht gespeichert")));
        QCOMPARE(recordWindows().size(), 1);
        TRecordForm* form = recordWindows().front();
        QCOMPARE(form->currentRecord().inspection.order, std::optional<std::string>("R-5"));
        QVERIFY(form->isModified());
        {
            test::ModalAnswerer discard({pressKey(Qt::Key_V)}, kAnyWindow);
            form->close();
        }
    }
};

QTEST_MAIN(RecordWindowTest)
#include "RecordWindowTest.moc"
