#pragma once
// The inspection record window "Prüfprotokoll": the header of the inspection
// job, its welds and, for the selected weld, its dimensions and the findings
// table.  Every finding shows, computed while the inspector types, the exact
// limit for this weld and the verdict with its reason; the verdicts of the
// weld and of the record stand above.
//
// The record in memory is always a valid record: an entry is checked with
// the same rules as the record file before it becomes part of it.  A bad
// entry stays in its field, marked with the reason, and is not taken over.
// Every change is one step on the undo stack; while there are unsaved
// changes a recovery copy lies in the user's data folder, offered again at
// the next start of the program.

#include "catalogue/Catalogue.h"
#include "record/CatalogueRows.h"
#include "record/FileStamp.h"
#include "record/Record.h"
#include "record/Verdict.h"
#include "recordwindow/FindingsTable.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QTableView;
class QUndoStack;

namespace veltrano {

namespace recordprint {
struct PrintPage;
}

// The window's name, also the caption of its message boxes.
inline const QString kRecordWindowTitle = QStringLiteral("Pr\u00FCfprotokoll");

class TRecordForm : public QMainWindow, private FindingsSource {
    Q_OBJECT
public:
    // The weld of the main window's inputs, for "Naht aus Hauptfenster
    // übernehmen"; empty when the inputs describe no weld.
    using WeldSource = std::function<std::optional<record::Weld>()>;

    TRecordForm(std::filesystem::path catalogueFile, WeldSource mainWindowWeld, QWidget* parent = nullptr);
    ~TRecordForm() override;

    // Loads a record file in place of the record shown (ask with maybeSave
    // first); a file that cannot be read is reported and the window keeps
    // what it has.
    bool openFile(const QString& file);
    // Saves to the file; a record that cannot be saved is reported.  Over
    // the loaded file changed since by another program it asks first, for a
    // write-protected file it offers "Speichern unter…".
    bool saveTo(const QString& file);
    // "Speichern / Verwerfen / Abbrechen" when there are unsaved changes;
    // true when the work may go.
    bool maybeSave();

    const record::Record& currentRecord() const { return m_record; }
    const record::RecordVerdict& currentVerdict() const { return m_verdict; }
    int currentWeld() const { return m_weld; }
    QString fileName() const { return m_file; }
    bool isModified() const;
    QUndoStack* undoStack() const { return m_undo; }

    // The pages of the printed record as they are now.
    std::vector<recordprint::PrintPage> printPages() const;
    // The file name "Speichern unter…" proposes: order and date.
    QString suggestedFileName() const;

    // The recovery copy of unsaved work, and the file it belongs to.
    static QString recoveryFile();
    static bool recoveryAvailable();
    // Takes over a recovery copy (the window's own when none is named) as
    // unsaved work; false when it cannot be read.
    bool restoreRecovery(QString* error = nullptr, const QString& copy = {});
    static void discardRecovery();

    // Controls.
    QLabel* RecordVerdictLabel = nullptr;
    QLabel* WeldVerdictLabel = nullptr;
    QLineEdit* OrderEdit = nullptr;
    QLineEdit* ComponentEdit = nullptr;
    QLineEdit* DrawingEdit = nullptr;
    QLineEdit* StandardEdit = nullptr;
    QLineEdit* MethodEdit = nullptr;
    QLineEdit* StageEdit = nullptr;
    QLineEdit* InspectorEdit = nullptr;
    QLineEdit* QualificationEdit = nullptr;
    QLineEdit* DateEdit = nullptr;
    QLineEdit* PlaceEdit = nullptr;
    QLineEdit* RemarksEdit = nullptr;
    QListWidget* WeldList = nullptr;
    QPushButton* AddWeldButton = nullptr;
    QPushButton* DuplicateWeldButton = nullptr;
    QPushButton* RemoveWeldButton = nullptr;
    QPushButton* TakeOverButton = nullptr;
    QLineEdit* WeldIdEdit = nullptr;
    QComboBox* SeamBox = nullptr;
    QComboBox* LevelBox = nullptr;
    QLineEdit* TEdit = nullptr;
    QLineEdit* LEdit = nullptr;
    QLineEdit* BEdit = nullptr;
    QLineEdit* BwEdit = nullptr;
    QCheckBox* WelderTestBox = nullptr;
    QCheckBox* RailBridgeBox = nullptr;
    QLineEdit* WelderEdit = nullptr;
    QLineEdit* ProcessEdit = nullptr;
    QLineEdit* WeldLocationEdit = nullptr;
    QLineEdit* WeldRemarksEdit = nullptr;
    QTableView* FindingsView = nullptr; // Enter goes on, Del removes a finding, Ins adds one
    QPushButton* AddFindingButton = nullptr;
    QPushButton* RemoveFindingButton = nullptr;

    QAction* NewAction = nullptr;
    QAction* OpenAction = nullptr;
    QAction* SaveAction = nullptr;
    QAction* SaveAsAction = nullptr;
    QAction* PreviewAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* PdfAction = nullptr;
    QAction* CloseAction = nullptr;
    QAction* UndoAction = nullptr;
    QAction* RedoAction = nullptr;

public slots:
    void newRecord();
    void openRecord();
    bool save();
    bool saveAs();
    void preview();
    void print();
    void saveAsPdf();

    void addWeld();
    void duplicateWeld();
    void removeWeld();
    void takeOverMainWindowWeld();
    void addFinding();
    void removeFinding();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class RecordEdit;

    // The construction (RecordFormLayout.cpp).
    void buildMenu();
    void buildClientArea();
    void connectFields();

    // One undoable step from the record as it is to the changed one, with
    // the weld and the finding selected afterwards (-2: the weld stays,
    // -1: the finding stays).
    void edit(const QString& what, const std::function<void(record::Record&)>& change, int weldAfter = -2,
              int findingAfter = -1);
    void setState(const record::Record& record, int weld, int finding);
    void refresh();
    void refreshWeldFields();
    void showVerdict(QLabel* label, record::Verdict verdict, const QString& text);

    // The reason a changed record cannot be taken over; empty when it can.
    QString problemOf(const record::Record& candidate) const;
    void markField(QWidget* field, const QString& reason);
    void commitHeaderField(QLineEdit* field, std::optional<std::string> record::Inspection::*member);
    void commitWeldText(QLineEdit* field, std::optional<std::string> record::Weld::*member);
    void commitDimension(QLineEdit* field, record::WrittenNumber record::Weld::*member);
    void commitWeldId();
    void commitDate();

    // The findings table's view of the selected weld.
    const record::Weld* shownWeld() const override;
    int shownWeldIndex() const override { return m_weld; }
    const record::FindingVerdict* findingVerdict(int row) const override;
    QString badCell(int row, int column) const override;
    QString badReason(int row, int column) const override;
    std::vector<int> offeredRows() const override;
    QString rowTitle(int row) const override;
    bool setFindingCell(int row, int column, const QString& text) override;
    QFont tableFont() const override { return font(); }

    void setFile(const QString& file);
    void updateTitle();
    void writeRecovery();
    QString catalogueSha256() const;

    Catalogue m_catalogue;
    std::unique_ptr<record::CatalogueRows> m_rows;
    WeldSource m_mainWindowWeld;
    record::Record m_record;
    record::RecordVerdict m_verdict;
    int m_weld = -1;
    QString m_file;
    // What the file held when it was loaded or saved: a change of another
    // program since is not overwritten without asking.
    std::optional<record::FileStamp> m_stamp;
    QUndoStack* m_undo = nullptr;
    FindingsModel* m_model = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    // Entries of the findings table that were refused, by weld, row and
    // column: shown in place of the value until corrected.
    struct BadEntry {
        QString text;
        QString reason;
    };
    std::map<std::tuple<int, int, int>, BadEntry> m_badCells;
    // What each field does when it is left or confirmed with Enter.
    std::map<QWidget*, std::function<void()>> m_commits;
    bool m_refreshing = false;
    bool m_checkOnly = false; // while typing: entries are checked, not taken over
};

// Opens the one record window of the program on the catalogue file, or
// brings it to the front; with a file, loads it.  The window goes when owner
// goes; mainWindowWeld yields the weld for "Naht aus Hauptfenster
// übernehmen".
TRecordForm* showRecordWindow(QObject& owner, const std::filesystem::path& catalogueFile,
                              TRecordForm::WeldSource mainWindowWeld, const QString& file = {});

// At the start of the program: unsaved work of earlier runs is offered back
// over parent, copy by copy; "Wiederherstellen" opens it in the window that
// showWindow shows, "Später" keeps it for the next start.
void offerRecordRecovery(QWidget& parent, const std::function<TRecordForm*()>& showWindow);

} // namespace veltrano
