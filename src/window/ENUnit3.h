#pragma once
// The main window TForm3: the catalogue grid on the left, the weld inputs,
// the fields of the current imperfection and, under "für diese Naht :", the
// limit that the evaluation driver computes for this weld.  Its menu and
// toolbar carry every command of the program.
//
// The window owns the catalogue table (Table1) and wires it to the driver:
// every row change of the table refreshes the grid and the display fields and
// runs DataSource1DataChange.  The evaluation state is the program's own and
// outlives the window.

#include "catalogue/Catalogue.h"
#include "evaluation/Driver.h"

#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTableView;
class QToolBar;
class QToolButton;
class QWindow;

namespace veltrano {

class CatalogueModel;
namespace report {
class ReportSystem;
}
class WeldSpinEdit;

class TForm3 : public QMainWindow {
    Q_OBJECT
public:
    TForm3(EvaluationState& state, std::filesystem::path catalogueFile, QWidget* parent = nullptr);
    ~TForm3() override;

    // Commands carried out by the other windows of the program (report,
    // printer setup, backup, help, info).  Their menu items and toolbar
    // buttons are enabled once the command has been handed in.
    enum class Command { PrinterSetup, Preview, Manual, Backup, Help, Info };
    void setCommand(Command command, std::function<void()> handler);

    // Hands the weld inputs and the result cache to the evaluation report and
    // shows it in its modal preview.
    void PrintReport();

    EvaluationState& state() { return m_state; }
    LimitDriver& driver() { return *m_driver; }
    Catalogue& Table1() { return m_table1; }

    // Opens the catalogue table again (no effect while it is open) and shows
    // its rows; throws CatalogueError like Catalogue::Open.
    void OpenTable();
    // Closes the table and empties the grid, so the file can be copied.
    void CloseTable();

    // The general hint of status panel 0.
    static const char* const kGeneralHint;

    // Controls, by their designer names.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton11 = nullptr;
    QToolButton* tbFirst = nullptr;
    QToolButton* tbPri = nullptr;
    QToolButton* tbNext = nullptr;
    QToolButton* tbLast = nullptr;
    QToolButton* ToolButton8 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QToolButton* ToolButtonRecord = nullptr; // the inspection record window

    QMenu* Datei1 = nullptr;
    QMenu* DatenBank1 = nullptr;
    QMenu* Extra1 = nullptr;
    QMenu* Hilfe1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Ansicht1 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* DateiAnfang1 = nullptr;
    QAction* VorherigerDatensatz1 = nullptr;
    QAction* NchsterDatensatz1 = nullptr;
    QAction* DateiEnde1 = nullptr;
    QAction* Handbuch1 = nullptr;
    QAction* Backup1 = nullptr;
    QAction* NeuBerechnung1 = nullptr;
    QAction* Pruefprotokoll1 = nullptr;
    QAction* Hilfeaufrufen1 = nullptr;
    QAction* Infober1 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 2> StatusPanels{};
    QTableView* DBGrid1 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    WeldSpinEdit* SpinEdit1 = nullptr;
    WeldSpinEdit* SpinEdit2 = nullptr;
    WeldSpinEdit* SpinEdit3 = nullptr;
    WeldSpinEdit* SpinEdit4 = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;

    QLineEdit* DBEdit1 = nullptr;
    QLineEdit* DBEdit2 = nullptr;
    QLineEdit* DBEdit3 = nullptr;
    QLineEdit* DBEdit4 = nullptr;
    QPlainTextEdit* DBMemo1 = nullptr;
    QLineEdit* DBEdit5 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;

    // The item index of a selector; for a text the user typed, the item of
    // that very text, or -1 when no item reads so.
    static int ItemIndex(const QComboBox* combo);

public slots:
    // Commands of menu and toolbar.
    void ToolButton2Click();  // printer setup
    void ToolButton3Click();  // preview and print
    void ToolButton11Click(); // program end
    void tbFirstClick();
    void tbPriClick();
    void tbNextClick();
    void tbLastClick();
    void ToolButton6Click();    // manual
    void ToolButton7Click();    // backup
    void ToolButton8Click();    // recalculation
    void ToolButton9Click();    // help
    void Infober1Click();       // info window
    void PruefprotokollClick(); // the inspection record window

    // Weld inputs.
    void ComboBox1Change();
    void ComboBox2Change();
    void SpinEdit1Change();
    void SpinEdit2Change();
    void SpinEdit3Change();
    void SpinEdit4Change();

    // The data source's change notification.
    void DataSource1DataChange();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class LimitFieldLink;
    class QuietWalk;
    class ResultLabel;
    class StatusPanelLink;
    class WeldInputs;

    // The window's construction (ENUnit3Layout.cpp).
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void buildClientArea();
    void buildInputPanel();
    void buildRecordPanel();
    void buildTabOrder();
    void connectHandlers();

    void FormCreate();
    void FormActivate();
    bool FormCloseQuery();
    void FormDestroy();

    void ComboBox1Enter();
    void ComboBox2Enter();
    void SpinEdit1Enter();
    void SpinEdit2Enter();
    void SpinEdit3Enter();
    void SpinEdit4Enter();
    void ComboBox1Exit(); // also SpinEdit1
    void ComboBox2Exit();
    void SpinEdit2Exit();
    void SpinEdit3Exit();
    void SpinEdit4Exit();
    bool ComboBox1KeyDown(int key);
    bool ComboBox2KeyDown(int key);
    bool SpinEdit1KeyDown(int key);
    bool SpinEdit2KeyDown(int key);
    bool SpinEdit3KeyDown(int key);
    bool SpinEdit4KeyDown(int key);
    bool InputKeyDown(int key);
    void DBEdit1Click(); // all six display fields

    void setSeamLayout(bool buttWeld);
    void Table1DataChange();
    void showRowFields(); // the display fields and the limit field of the current row
    report::ReportSystem& reportSystem();
    void showCurrentRow();
    void DBGrid1RowChange(int row);
    void runCommand(Command command);
    void enterInput(const char* hint);
    void leaveInput();
    void showNotice(const QString& text);
    void showError(const QString& text);
    void setPanelText(int panel, const QString& text);
    void onFocusWindowChanged(QWindow* window);
    bool dispatchInputEvent(QObject* watched, QEvent* event);
    bool dispatchFieldEvent(QObject* watched, QEvent* event);

    EvaluationState& m_state;
    Catalogue m_table1;
    std::string m_sDatabaseError; // the catalogue's reason when it could not be used
    bool m_bCatalogueMissing = false;

    std::unique_ptr<LimitFieldLink> m_limitField;
    std::unique_ptr<ResultLabel> m_resultDisplay;
    std::unique_ptr<StatusPanelLink> m_statusPanel;
    std::unique_ptr<WeldInputs> m_weldInputs;
    std::unique_ptr<LimitDriver> m_driver;
    CatalogueModel* m_model = nullptr;

    std::array<std::function<void()>, 6> m_commands;
    std::unique_ptr<report::ReportSystem> m_RvSystem1; // the report's printer and preview
    bool m_bActivated = false;                         // the window has been active once
    bool m_bOtherWindowActive = false;                 // another window of the program was active since
    bool m_bInActivate = false;
    bool m_bClosing = false;
    bool m_bWalking = false; // the recalculation walk is under way (QuietWalk)
    int m_walkRows = 0;      // rows the walk has passed so far
};

} // namespace veltrano
