#include "window/ENUnit3.h"
#include "window/ENUnit3Layout.h"
#include "window/ENUnit3Links.h"

#include "backup/BackupForm.h"
#include "evaluation/CatalogueFields.h"
#include "help/HelpViewer.h"
#include "help/InfoUnit.h"
#include "look/WindowLook.h"
#include "recordwindow/RecordForm.h"
#include "report/ReportPreview.h"
#include "window/CatalogueModel.h"
#include "window/RecordWindowLink.h"
#include "window/SpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <utility>

namespace veltrano {
namespace {

using form3::qs;
using form3::setFieldText;

void selectFirstItem(QComboBox* combo)
{
    if (combo->count() == 0)
        return;
    combo->setCurrentIndex(0);
    combo->setEditText(combo->itemText(0));
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

const char* const TForm3::kGeneralHint =
    "Nahtma\u00DFe und Bewertungsgruppe w\u00E4hlen und mit Datenbank-Schaltern bzw. den Pfeiltasten bl\u00E4ttern";

// ---------------------------------------------------------------------------
// Construction

TForm3::TForm3(EvaluationState& state, std::filesystem::path catalogueFile, QWidget* parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_table1(std::move(catalogueFile))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Veltrano    "));
    setWindowIcon(programIcon());
    setFont(windowFont(14));
    // A fixed single border: no resizing, no maximising.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    buildMenu();
    buildToolBar();
    buildStatusBar();
    buildClientArea();
    buildTabOrder();

    m_model = new CatalogueModel(m_table1, DBGrid1);
    DBGrid1->setModel(m_model);
    DBGrid1->horizontalHeader()->resizeSection(0, 309);
    for (int column = 1; column < m_model->columnCount(); ++column)
        DBGrid1->horizontalHeader()->resizeSection(column, column == 1 ? 90 : 200);

    m_limitField = std::make_unique<LimitFieldLink>(m_table1, DBEdit5);
    m_resultDisplay = std::make_unique<ResultLabel>(StaticText2);
    m_statusPanel = std::make_unique<StatusPanelLink>(*this);
    m_weldInputs = std::make_unique<WeldInputs>(*this);
    m_driver = std::make_unique<LimitDriver>(m_state, m_table1, *m_limitField, *m_weldInputs, *m_resultDisplay,
                                             *m_statusPanel, QLocale().decimalPoint().toStdString());
    m_table1.setDataChangeHandler([this] { Table1DataChange(); });

    connectHandlers();
    // Help, manual and info are the program's own windows.
    setCommand(Command::Manual, [] { ShowHelpFile(ManualFileName); });
    setCommand(Command::Help, [] { ShowHelpFile(HelpFileName); });
    setCommand(Command::Info, [this] { ShowInfoWindow(this); });
    // Printer setup, preview and print: the evaluation report.
    setCommand(Command::PrinterSetup, [this] { reportSystem().printerSetup(this); });
    setCommand(Command::Preview,
               [this] { report::runReportCommand(m_state.aResult, this, [this] { PrintReport(); }); });
    // The backup copies the database files of the catalogue's folder, which
    // is the program's own; the table is closed for the copy and opened again
    // when the dialog has closed.
    setCommand(Command::Backup, [this] {
        RunBackupDialog(
            this, StatusBar1, [this] { CloseTable(); }, [this] { OpenTable(); },
            QString::fromStdU16String(m_table1.file().parent_path().u16string()));
    });
    FormCreate();

    setFixedSize(form3::kClientWidth, menuBar()->sizeHint().height() + form3::kClientHeight);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm3::~TForm3()
{
    // No handler may run on a half-destroyed window: the children still
    // signal while they go (a selector takes over its typed text when it
    // loses the focus), so every connection to this window ends here.
    disconnect(qApp, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>()) {
        disconnect(child, nullptr, this, nullptr);
        child->removeEventFilter(this);
    }
    FormDestroy();
    m_table1.setDataChangeHandler({});
    m_model->detach();
}

// ---------------------------------------------------------------------------
// Lifecycle

void TForm3::FormCreate()
{
    m_state.bNoDatabase = false;
    try {
        OpenTable();
        const QSignalBlocker block1(ComboBox1);
        const QSignalBlocker block2(ComboBox2);
        ComboBox1->addItems(seamWords());
        ComboBox2->addItems(levelWords());
    } catch (const std::exception& e) {
        m_state.bNoDatabase = true;
        m_sDatabaseError = e.what();
        std::error_code ec;
        m_bCatalogueMissing = !std::filesystem::exists(m_table1.file(), ec);
    }
}

void TForm3::FormActivate()
{
    if (m_bInActivate || !m_state.aResult[2].empty())
        return;
    if (m_state.bNoDatabase) {
        m_bInActivate = true;
        if (m_bCatalogueMissing) {
            showError(QStringLiteral("Die Datei ISO5817.MDB befindet sich nicht im Programmverzeichnis.\r\n"
                                     "Bitte kopieren Sie diese dahin oder installieren Sie das Programm neu.\r\n"
                                     "Das Programm wird abgebrochen !"));
        } else {
            // The file is there but cannot serve as the catalogue: say why.
            showError(qs(m_sDatabaseError) + QStringLiteral("\r\nDas Programm wird abgebrochen !"));
        }
        m_bInActivate = false;
        close();
        return;
    }

    m_bInActivate = true;
    m_driver->ClearResults();
    m_state.bNoDatabase = false;
    m_state.iGroup = static_cast<int>(QualityLevel::B);
    m_state.iRecNo = 1;
    m_state.iRecCount = m_table1.RecordCount();
    m_table1.SetRecNo(m_state.iRecNo);
    {
        const QSignalBlocker block1(ComboBox1);
        const QSignalBlocker block2(ComboBox2);
        selectFirstItem(ComboBox1);
        selectFirstItem(ComboBox2);
    }
    // The selectors now say "Stumpfnaht" and "B (hoch)": the limit field and
    // the input layout follow them, so no limit text of another level is
    // judged at level B and no fillet layout stands beside a butt weld.  The
    // weld's values stay as the user set them.
    m_limitField->setDataField(limitColumn(QualityLevel::B));
    if (SpinEdit4->isHidden())
        setSeamLayout(true);
    setPanelText(0, QString::fromUtf8(kGeneralHint));
    m_state.bButtWeld = true;
    m_driver->CalcLimit();
    ToolBar1->setFocus(Qt::OtherFocusReason);
    setPanelText(1, QStringLiteral("DSNr: 1 von %1").arg(m_state.iRecCount));
    m_bInActivate = false;
}

bool TForm3::FormCloseQuery()
{
    if (m_state.bNoDatabase)
        return true;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Frage"), QStringLiteral("Programm beenden ?"),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::Yes);
    if (question.exec() == QMessageBox::Yes)
        return true;
    try {
        OpenTable();
    } catch (const std::exception& e) {
        showError(qs(e.what()));
    }
    return false;
}

void TForm3::FormDestroy()
{
    // With the table closed, First does nothing and only the cache is emptied.
    m_driver->ClearResults();
}

void TForm3::OpenTable()
{
    if (m_table1.Active())
        return;
    m_table1.Open(); // notifies: the first row is evaluated
    m_model->sync();
    showCurrentRow();
}

void TForm3::CloseTable()
{
    m_table1.Close();
    m_model->sync();
    for (QLineEdit* field : {DBEdit1, DBEdit2, DBEdit3, DBEdit4})
        field->clear();
    DBMemo1->clear();
    m_limitField->refresh();
}

bool TForm3::event(QEvent* event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && (!m_bActivated || m_bOtherWindowActive)) {
        m_bActivated = true;
        m_bOtherWindowActive = false;
        FormActivate();
    }
    return result;
}

void TForm3::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The program's one working window asks for the focus when it first
    // appears, also on a desktop that would not hand it over by itself.
    if (!m_bActivated)
        activateWindow();
}

void TForm3::onFocusWindowChanged(QWindow* window)
{
    if (!window || window == windowHandle())
        return;
    // Drop-down lists, menus and tool tips belong to this window, a message
    // box returns to where the user was, and the help, the manual and the
    // inspection record (with its own dialogs) are worked in beside the weld
    // the user is describing: none of them counts.
    if (window->type() == Qt::Popup || window->type() == Qt::ToolTip)
        return;
    auto besideTheWeld = [](QWidget* w) {
        return qobject_cast<THelpViewer*>(w) != nullptr || qobject_cast<TRecordForm*>(w) != nullptr;
    };
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->windowHandle() != window)
            continue;
        if (qobject_cast<QMessageBox*>(topLevel) || besideTheWeld(topLevel))
            return;
        if (QWidget* owner = topLevel->parentWidget(); owner && besideTheWeld(owner->window()))
            return;
    }
    m_bOtherWindowActive = true;
}

void TForm3::closeEvent(QCloseEvent* event)
{
    if (m_bClosing) {
        event->ignore();
        return;
    }
    m_bClosing = true;
    const bool mayClose = FormCloseQuery();
    m_bClosing = false;
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

// ---------------------------------------------------------------------------
// Commands

void TForm3::setCommand(Command command, std::function<void()> handler)
{
    const bool enabled = static_cast<bool>(handler);
    m_commands[static_cast<std::size_t>(command)] = std::move(handler);
    QList<QAction*> items;
    QList<QToolButton*> buttons;
    switch (command) {
    case Command::PrinterSetup:
        items = {Druckereinrichten1};
        buttons = {ToolButton2};
        break;
    case Command::Preview:
        items = {Ansicht1, Drucken1};
        buttons = {ToolButton3, ToolButton5};
        break;
    case Command::Manual:
        items = {Handbuch1};
        buttons = {ToolButton6};
        break;
    case Command::Backup:
        items = {Backup1};
        buttons = {ToolButton7};
        break;
    case Command::Help:
        items = {Hilfeaufrufen1};
        buttons = {ToolButton9};
        break;
    case Command::Info:
        items = {Infober1};
        break;
    }
    for (QAction* item : items)
        item->setEnabled(enabled);
    for (QToolButton* button : buttons)
        button->setEnabled(enabled);
}

void TForm3::runCommand(Command command)
{
    if (const auto& handler = m_commands[static_cast<std::size_t>(command)])
        handler();
}

void TForm3::ToolButton2Click()
{
    runCommand(Command::PrinterSetup);
}

void TForm3::PrintReport()
{
    // The thickness and the seam type are read once, before the report runs;
    // the header shows the inputs exactly as their fields display them.
    report::ReportInputs inputs;
    inputs.t = SpinEdit1->floatValue();
    inputs.seamIndex = ItemIndex(ComboBox1);
    inputs.levelIndex = ItemIndex(ComboBox2);
    inputs.seamText = ComboBox1->currentText();
    inputs.levelText = ComboBox2->currentText();
    inputs.md = SpinEdit1->text();
    inputs.nl = SpinEdit2->text();
    inputs.nb = SpinEdit3->text();
    inputs.wb = SpinEdit4->text();
    reportSystem().execute(report::buildReportParameters(inputs, m_state.aResult), this);
}

void TForm3::ToolButton3Click()
{
    runCommand(Command::Preview);
}

void TForm3::ToolButton6Click()
{
    runCommand(Command::Manual);
}

void TForm3::ToolButton7Click()
{
    runCommand(Command::Backup);
}

void TForm3::ToolButton9Click()
{
    runCommand(Command::Help);
}

void TForm3::Infober1Click()
{
    runCommand(Command::Info);
}

void TForm3::PruefprotokollClick()
{
    showRecordWindow(*this);
}

void TForm3::ToolButton11Click()
{
    close();
}

void TForm3::tbFirstClick()
{
    if (!DBGrid1->hasFocus())
        DBGrid1->setFocus(Qt::OtherFocusReason);
    m_table1.First();
    tbFirst->setEnabled(false);
    tbPri->setEnabled(false);
    tbNext->setEnabled(true);
    tbLast->setEnabled(true);
}

void TForm3::tbPriClick()
{
    if (!DBGrid1->hasFocus())
        DBGrid1->setFocus(Qt::OtherFocusReason);
    m_table1.Prior();
    tbNext->setEnabled(true);
    tbLast->setEnabled(true);
    if (m_table1.Bof())
        tbFirstClick();
}

void TForm3::tbNextClick()
{
    if (!DBGrid1->hasFocus())
        DBGrid1->setFocus(Qt::OtherFocusReason);
    m_table1.Next();
    tbFirst->setEnabled(true);
    tbPri->setEnabled(true);
    if (m_table1.Eof())
        tbLastClick();
}

void TForm3::tbLastClick()
{
    if (!DBGrid1->hasFocus())
        DBGrid1->setFocus(Qt::OtherFocusReason);
    m_table1.Last();
    tbFirst->setEnabled(true);
    tbPri->setEnabled(true);
    tbNext->setEnabled(false);
    tbLast->setEnabled(false);
}

void TForm3::ToolButton8Click()
{
    // Every row change evaluates that row, so the walk fills the result
    // cache for the current weld and ends on the row it started on.
    {
        const QuietWalk quiet(*this);
        WalkAllRows(m_table1);
    }
    DBGrid1->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// The catalogue's rows

void TForm3::Table1DataChange()
{
    if (m_bWalking) {
        ++m_walkRows;
        showCurrentRow();
        DataSource1DataChange();
        return;
    }
    showRowFields();
    showCurrentRow();
    DataSource1DataChange();
}

void TForm3::showRowFields()
{
    setFieldText(DBEdit1, qs(m_table1.FieldText(field::kGroup)));
    setFieldText(DBEdit2, qs(m_table1.FieldText(field::kThickness)));
    setFieldText(DBEdit3, qs(m_table1.FieldText(field::kImperfection)));
    setFieldText(DBEdit4, qs(m_table1.FieldText(field::kReference)));
    const QString remarks = qs(m_table1.FieldText(field::kRemarks));
    if (DBMemo1->toPlainText() != remarks)
        DBMemo1->setPlainText(remarks);
    m_limitField->refresh();
}

void TForm3::showCurrentRow()
{
    const int row = m_table1.RecNo() - 1;
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = std::max(0, DBGrid1->currentIndex().column());
    const QModelIndex index = m_model->index(row, column);
    if (DBGrid1->currentIndex() != index) {
        DBGrid1->selectionModel()->setCurrentIndex(index,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBGrid1->scrollTo(index);
    }
    DBGrid1->verticalHeader()->viewport()->update(); // the row indicator moves
}

void TForm3::DataSource1DataChange()
{
    m_driver->DataSource1DataChange();
}

void TForm3::DBGrid1RowChange(int row)
{
    if (row >= 0 && row + 1 != m_table1.RecNo())
        m_table1.SetRecNo(row + 1);
}

void TForm3::DBEdit1Click()
{
    ToolBar1->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// Weld inputs

int TForm3::ItemIndex(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    // A typed text selects the item it spells out, and no item otherwise.
    if (index >= 0 && combo->isEditable() && combo->currentText() != combo->itemText(index))
        return combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return index;
}

void TForm3::ComboBox1Change()
{
    m_driver->ClearResults();
    const bool butt = ItemIndex(ComboBox1) == static_cast<int>(SeamType::Butt);
    m_state.bButtWeld = butt;
    setSeamLayout(butt);
    SpinEdit1->setValue(butt ? 10 : 5);
    SpinEdit3->setValue(butt ? 12 : 7);
}

void TForm3::setSeamLayout(bool buttWeld)
{
    Label1->setText(buttWeld ? QStringLiteral("Materialdicke t[mm]:") : QStringLiteral("Nahtdicke a[mm]:"));
    Label1->adjustSize();
    form3::nameAfterCaption(Label1, SpinEdit1);
    Label4->setVisible(buttWeld);
    SpinEdit4->setVisible(buttWeld);
    SpinEdit1->setMaximum(buttWeld ? 100 : 30);
}

void TForm3::ComboBox2Change()
{
    m_driver->ClearResults();
    int index = ItemIndex(ComboBox2);
    if (CheckBox1->isChecked()) {
        // A welder's test piece is assessed at level B only.
        const QSignalBlocker block(ComboBox2);
        selectFirstItem(ComboBox2);
        index = 0;
    }
    static constexpr QualityLevel levels[] = {QualityLevel::B, QualityLevel::C, QualityLevel::D};
    if (index >= 0 && index < 3) {
        m_state.iGroup = static_cast<int>(levels[index]);
        m_limitField->setDataField(limitColumn(levels[index]));
    }
    m_driver->CalcLimit();
}

void TForm3::SpinEdit1Change()
{
    m_driver->ClearResults();
    m_driver->CalcLimit();
}

void TForm3::SpinEdit2Change()
{
    m_driver->ClearResults();
    m_driver->CalcLimit();
}

void TForm3::SpinEdit3Change()
{
    m_driver->ClearResults();
    m_driver->CalcLimit();
}

void TForm3::SpinEdit4Change()
{
    m_driver->ClearResults();
    m_driver->CalcLimit();
}

void TForm3::enterInput(const char* hint)
{
    m_state.aResult[0] = StatusPanels[0]->text().toStdString();
    setPanelText(0, QString::fromUtf8(hint));
}

void TForm3::leaveInput()
{
    setPanelText(0, qs(m_state.aResult[0]));
}

void TForm3::ComboBox1Enter()
{
    enterInput("Bitte Nahtart w\u00E4hlen");
}

void TForm3::ComboBox2Enter()
{
    enterInput("Bitte Bewertungsgruppe w\u00E4hlen");
}

void TForm3::SpinEdit1Enter()
{
    enterInput(m_state.bButtWeld ? "Bitte Materialdicke in mm eingeben" : "Bitte Nahtdicke in mm eingeben");
}

void TForm3::SpinEdit2Enter()
{
    enterInput("Bitte Nahtl\u00E4nge in mm eingeben");
}

void TForm3::SpinEdit3Enter()
{
    enterInput("Bitte Nahtbreite in mm eingeben");
}

void TForm3::SpinEdit4Enter()
{
    enterInput("Bitte Wurzelbreite in mm eingeben");
}

void TForm3::ComboBox1Exit()
{
    leaveInput();
}

void TForm3::ComboBox2Exit()
{
    leaveInput();
}

void TForm3::SpinEdit2Exit()
{
    leaveInput();
}

void TForm3::SpinEdit3Exit()
{
    leaveInput();
    const float width = SpinEdit3->floatValue();
    if (m_state.bButtWeld && width > 35.0f) {
        showNotice(QStringLiteral("Wert zu gro\u00DF !"));
        SpinEdit3->setValue(10);
    } else if (!m_state.bButtWeld && width > 15.0f) {
        showNotice(QStringLiteral("Wert zu gro\u00DF !"));
        SpinEdit3->setValue(8);
    }
}

void TForm3::SpinEdit4Exit()
{
    leaveInput();
    if (m_state.bButtWeld && SpinEdit4->floatValue() > 12.0f) {
        showNotice(QStringLiteral("Wert zu gro\u00DF !"));
        SpinEdit4->setValue(2);
    }
}

bool TForm3::InputKeyDown(int key)
{
    if (isEnterKey(key)) {
        DBGrid1->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key == Qt::Key_Escape) {
        ToolBar1->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (key == Qt::Key_F1) {
        ToolButton9Click();
        return true;
    }
    return false;
}

bool TForm3::ComboBox1KeyDown(int key)
{
    return InputKeyDown(key);
}

bool TForm3::ComboBox2KeyDown(int key)
{
    return InputKeyDown(key);
}

bool TForm3::SpinEdit1KeyDown(int key)
{
    const bool handled = InputKeyDown(key);
    // Enter in the thickness field also empties the result cache.
    if (isEnterKey(key))
        m_driver->ClearResults();
    return handled;
}

bool TForm3::SpinEdit2KeyDown(int key)
{
    return InputKeyDown(key);
}

bool TForm3::SpinEdit3KeyDown(int key)
{
    return InputKeyDown(key);
}

bool TForm3::SpinEdit4KeyDown(int key)
{
    return InputKeyDown(key);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (dispatchInputEvent(watched, event) || dispatchFieldEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TForm3::dispatchInputEvent(QObject* watched, QEvent* event)
{
    struct Handlers {
        QObject* input;
        void (TForm3::*enter)();
        void (TForm3::*exit)();
        bool (TForm3::*keyDown)(int);
    };
    const Handlers handlers[] = {
        {ComboBox1, &TForm3::ComboBox1Enter, &TForm3::ComboBox1Exit, &TForm3::ComboBox1KeyDown},
        {ComboBox2, &TForm3::ComboBox2Enter, &TForm3::ComboBox2Exit, &TForm3::ComboBox2KeyDown},
        {SpinEdit1, &TForm3::SpinEdit1Enter, &TForm3::ComboBox1Exit, &TForm3::SpinEdit1KeyDown},
        {SpinEdit2, &TForm3::SpinEdit2Enter, &TForm3::SpinEdit2Exit, &TForm3::SpinEdit2KeyDown},
        {SpinEdit3, &TForm3::SpinEdit3Enter, &TForm3::SpinEdit3Exit, &TForm3::SpinEdit3KeyDown},
        {SpinEdit4, &TForm3::SpinEdit4Enter, &TForm3::SpinEdit4Exit, &TForm3::SpinEdit4KeyDown},
    };
    const Handlers* match = nullptr;
    for (const Handlers& h : handlers) {
        if (h.input == watched)
            match = &h;
    }
    if (!match)
        return false;

    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // Opening a drop-down list, or switching to another window and back,
        // neither enters nor leaves the input.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
            return false;
        (this->*(event->type() == QEvent::FocusIn ? match->enter : match->exit))();
        return false;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key();
        if (isEnterKey(code) || code == Qt::Key_Escape || code == Qt::Key_F1)
            return (this->*match->keyDown)(code);
        return false;
    }
    default:
        return false;
    }
}

bool TForm3::dispatchFieldEvent(QObject* watched, QEvent* event)
{
    const bool isField = watched == DBEdit1 || watched == DBEdit2 || watched == DBEdit3 || watched == DBEdit4 ||
                         watched == DBEdit5 || watched == DBMemo1 || watched == DBMemo1->viewport();
    if (!isField)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            DBEdit1Click();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        DBEdit1Click();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Messages and the status bar

void TForm3::showNotice(const QString& text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Hinweis"), text, QMessageBox::Ok, this);
    box.exec();
}

void TForm3::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), text, QMessageBox::Ok, this);
    box.exec();
}

void TForm3::setPanelText(int panel, const QString& text)
{
    if (panel == 0 || panel == 1)
        StatusPanels[static_cast<std::size_t>(panel)]->setText(text);
}

} // namespace veltrano
