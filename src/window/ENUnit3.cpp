#include "ENUnit3.h"

#include "BackupForm.h"
#include "CatalogueModel.h"
#include "HelpViewer.h"
#include "InfoUnit.h"
#include "ReportPreview.h"
#include "SpinEdit.h"
#include "WindowLook.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
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

namespace veltrano {
namespace {

// Sizes of the window at 96 dpi.
constexpr int kClientWidth = 894;
constexpr int kClientHeight = 602;
constexpr int kToolBarHeight = 30;
constexpr int kStatusBarHeight = 24;
constexpr int kPanel1Width = 676;
constexpr int kPanel1Height = kClientHeight - kToolBarHeight - kStatusBarHeight; // 548
constexpr int kPanel2Top = 206;
constexpr int kPanel2Height = 342;

const QColor kSilver(192, 192, 192);

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int pixelSize)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(windowFont(pixelSize));
    label->move(x, y);
    label->adjustSize();
    return label;
}

// The caption beside a control names it, for the keyboard (the label's
// buddy) and for a screen reader (the accessible name, without the colon).
void nameAfterCaption(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    QString name = caption->text().simplified();
    while (name.endsWith(QLatin1Char(':')))
        name = name.chopped(1).trimmed();
    control->setAccessibleName(name);
}

// A display-only field bound to the catalogue: silver, never editable.
QLineEdit* makeDisplayField(QWidget* parent, const char* name, int x, int y, int width, int height)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    edit->setGeometry(x, y, width, height);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, kSilver);
    edit->setPalette(palette);
    return edit;
}

// Shows a field's text from its beginning, as a data-bound edit does.
void setFieldText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
    edit->setCursorPosition(0);
}

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
// The window's parts as the driver sees them.

// DBEdit5: shows the limit column it is bound to; the driver may bind it to
// another column for the length of one evaluation.
class TForm3::LimitFieldLink : public LimitField {
public:
    LimitFieldLink(const Catalogue& catalogue, QLineEdit* edit)
        : m_catalogue(catalogue)
        , m_edit(edit)
    {
    }
    std::string text() const override { return m_catalogue.FieldText(m_column); }
    std::string dataField() const override { return m_column; }
    void setDataField(const std::string& column) override
    {
        if (column == m_column)
            return;
        m_column = column;
        refresh();
    }
    void refresh() { setFieldText(m_edit, qs(text())); }

private:
    const Catalogue& m_catalogue;
    QLineEdit* m_edit;
    std::string m_column = limitColumn(QualityLevel::B);
};

class TForm3::ResultLabel : public ResultDisplay {
public:
    explicit ResultLabel(QLabel* label)
        : m_label(label)
    {
    }
    void setCaption(const std::string& text) override { m_label->setText(qs(text)); }

private:
    QLabel* m_label;
};

class TForm3::StatusPanelLink : public StatusPanel {
public:
    explicit StatusPanelLink(TForm3& form)
        : m_form(form)
    {
    }
    void setPanelText(int panel, const std::string& text) override { m_form.setPanelText(panel, qs(text)); }

private:
    TForm3& m_form;
};

class TForm3::WeldInputs : public WeldSource {
public:
    explicit WeldInputs(const TForm3& form)
        : m_form(form)
    {
    }
    WeldInput weld() const override
    {
        WeldInput weld;
        weld.t = m_form.SpinEdit1->floatValue();
        weld.l = m_form.SpinEdit2->floatValue();
        weld.b = m_form.SpinEdit3->floatValue();
        weld.bw = m_form.SpinEdit4->floatValue();
        weld.seamType = ItemIndex(m_form.ComboBox1);
        weld.welderTest = m_form.CheckBox1->isChecked();
        weld.railBridge = m_form.CheckBox2->isChecked();
        return weld;
    }

private:
    const TForm3& m_form;
};

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
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

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
    m_RvSystem1 = std::make_unique<report::ReportSystem>();
    setCommand(Command::PrinterSetup, [this] { m_RvSystem1->printerSetup(this); });
    setCommand(Command::Preview,
               [this] { report::runReportCommand(m_state.aResult, this, [this] { PrintReport(); }); });
    // The backup copies the database files of the catalogue's folder, which
    // is the program's own; the table is closed for the copy and opened again
    // when the dialog has closed.
    setCommand(Command::Backup, [this] {
        RunBackupDialog(this, StatusBar1, [this] { CloseTable(); }, [this] { OpenTable(); },
                        QString::fromStdU16String(m_table1.file().parent_path().u16string()));
    });
    FormCreate();

    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
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

void TForm3::buildMenu()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& text, int image) {
        QAction* action = menu->addAction(imageListIcon(image), text);
        action->setObjectName(QLatin1String(name));
        action->setIconVisibleInMenu(true);
        return action;
    };
    auto addMenu = [this](const char* name, const QString& title) {
        QMenu* menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    Datei1 = addMenu("Datei1", QStringLiteral("&Datei"));
    Druckereinrichten1 = addItem(Datei1, "Druckereinrichten1", QStringLiteral("Drucker &einrichten"), 3);
    Ansicht1 = addItem(Datei1, "Ansicht1", QStringLiteral("&Ansicht"), 4);
    Drucken1 = addItem(Datei1, "Drucken1", QStringLiteral("&Drucken"), 1);
    Datei1->addSeparator();
    Beenden1 = addItem(Datei1, "Beenden1", QStringLiteral("&Beenden"), 6);

    DatenBank1 = addMenu("DatenBank1", QStringLiteral("Daten&Bank"));
    DateiAnfang1 = addItem(DatenBank1, "DateiAnfang1", QStringLiteral("Datei&Anfang"), 7);
    VorherigerDatensatz1 = addItem(DatenBank1, "VorherigerDatensatz1", QStringLiteral("&Vorheriger Datensatz"), 8);
    NchsterDatensatz1 = addItem(DatenBank1, "NchsterDatensatz1", QStringLiteral("&N\u00E4chster Datensatz"), 9);
    DateiEnde1 = addItem(DatenBank1, "DateiEnde1", QStringLiteral("Datei&Ende"), 10);

    Extra1 = addMenu("Extra1", QStringLiteral("&Extra"));
    Handbuch1 = addItem(Extra1, "Handbuch1", QStringLiteral("&Handbuch"), 0);
    Backup1 = addItem(Extra1, "Backup1", QStringLiteral("&Backup"), 5);
    NeuBerechnung1 = addItem(Extra1, "NeuBerechnung1", QStringLiteral("&Neu-Berechnung"), 12);

    Hilfe1 = addMenu("Hilfe1", QStringLiteral("&Hilfe"));
    Hilfeaufrufen1 = addItem(Hilfe1, "Hilfeaufrufen1", QStringLiteral("&Hilfe aufrufen"), 2);
    Hilfe1->addSeparator();
    Infober1 = addItem(Hilfe1, "Infober1", QStringLiteral("&Info \u00FCber ..."), 11);
}

void TForm3::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setAccessibleName(QStringLiteral("Werkzeugleiste"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setStyleSheet(QStringLiteral("QToolBar#ToolBar1 { border: 1px solid palette(mid); spacing: 0px; "
                                           "padding: 1px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    auto addSeparator = [this](const char* name, int width) {
        auto* separator = new QFrame(ToolBar1);
        separator->setObjectName(QLatin1String(name));
        separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        separator->setFixedSize(width, 22);
        ToolBar1->addWidget(separator);
    };
    auto addButton = [this](const char* name, const QString& hint, int image) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(hint);
        button->setAccessibleName(hint); // a screen reader reads the hint, as the tooltip shows it
        button->setIcon(imageListIcon(image));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(25, 22);
        ToolBar1->addWidget(button);
        return button;
    };

    addSeparator("ToolButton1", 17);
    ToolButton2 = addButton("ToolButton2", QStringLiteral("Drucker einrichten"), 3);
    ToolButton3 = addButton("ToolButton3", QStringLiteral("Seitenansicht"), 4);
    ToolButton5 = addButton("ToolButton5", QStringLiteral("Drucken"), 1);
    ToolButton11 = addButton("ToolButton11", QStringLiteral("ProgrammEnde"), 6);
    addSeparator("ToolButton4", 92);
    tbFirst = addButton("tbFirst", QStringLiteral("DateiAnfang"), 7);
    tbPri = addButton("tbPri", QStringLiteral("voriger Datensatz"), 8);
    tbNext = addButton("tbNext", QStringLiteral("n\u00E4chtster Datensatz"), 9);
    tbLast = addButton("tbLast", QStringLiteral("DateiEnde"), 10);
    addSeparator("ToolButton10", 67);
    ToolButton8 = addButton("ToolButton8", QStringLiteral("Neu-Berechnung"), 12);
    ToolButton6 = addButton("ToolButton6", QStringLiteral("Handbuch"), 0);
    ToolButton7 = addButton("ToolButton7", QStringLiteral("Backup"), 5);
    addSeparator("ToolButton12", 89);
    ToolButton9 = addButton("ToolButton9", QStringLiteral("Hilfe"), 2);

    // The commands of other windows wait until they are handed in.
    for (QToolButton* button : {ToolButton2, ToolButton3, ToolButton5, ToolButton6, ToolButton7, ToolButton9})
        button->setEnabled(false);
    for (QAction* item : {Druckereinrichten1, Ansicht1, Drucken1, Handbuch1, Backup1, Hilfeaufrufen1, Infober1})
        item->setEnabled(false);
}

void TForm3::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setFont(windowFont(11));
    const int widths[2] = {700, 100};
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFixedWidth(widths[i]);
        panel->setFont(windowFont(11));
        StatusBar1->addWidget(panel);
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    setStatusBar(StatusBar1);
}

void TForm3::buildClientArea()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kPanel1Height);
    setCentralWidget(client);

    DBGrid1 = new QTableView(client);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Katalog der Unregelm\u00E4\u00DFigkeiten"));
    DBGrid1->setGeometry(0, 0, kClientWidth - kPanel1Width, kPanel1Height);
    DBGrid1->setMaximumWidth(300);
    DBGrid1->setFont(windowFont(14));
    DBGrid1->horizontalHeader()->setFont(windowFont(15));
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    DBGrid1->setVerticalHeader(new RowIndicatorHeader(DBGrid1));
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setFixedWidth(12);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setShowGrid(true);
    DBGrid1->setWordWrap(false);
    DBGrid1->setTabKeyNavigation(false);
    QPalette gridPalette = DBGrid1->palette();
    gridPalette.setColor(QPalette::Base, kSilver);
    DBGrid1->setPalette(gridPalette);

    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(kClientWidth - kPanel1Width, 0, kPanel1Width, kPanel1Height);
    buildInputPanel();

    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, kPanel2Top, kPanel1Width, kPanel2Height);
    buildRecordPanel();
}

void TForm3::buildInputPanel()
{
    Label5 = makeLabel(Panel1, "Label5", QStringLiteral("Nahtart:"), 88, 8, 18);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setFont(windowFont(13));
    ComboBox1->setGeometry(162, 8, 105, 22);
    ComboBox1->setEditText(QStringLiteral("Stumpfnaht"));
    nameAfterCaption(Label5, ComboBox1);

    Label6 = makeLabel(Panel1, "Label6", QStringLiteral("Bewertungsgruppe:"), 296, 8, 18);
    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->setFont(windowFont(13));
    ComboBox2->setGeometry(470, 8, 113, 22);
    ComboBox2->setEditText(QStringLiteral("B (hoch)"));
    nameAfterCaption(Label6, ComboBox2);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 40, 593, 2);

    auto makeSpin = [this](const char* name, double increment, double minimum, double maximum, double value, int x,
                           int y, int width) {
        auto* spin = new WeldSpinEdit(increment, minimum, maximum, value, Panel1);
        spin->setObjectName(QLatin1String(name));
        spin->setFont(windowFont(14));
        spin->setGeometry(x, y, width, 24);
        return spin;
    };
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("Materialdicke t [mm]:"), 17, 52, 18);
    SpinEdit1 = makeSpin("SpinEdit1", 0.5, 0.5, 1000, 10, 208, 56, 65);
    Label3 = makeLabel(Panel1, "Label3", QStringLiteral("Nahtbreite b [mm] :"), 300, 52, 18);
    SpinEdit3 = makeSpin("SpinEdit3", 1, 1, 100, 12, 504, 56, 57);
    Label2 = makeLabel(Panel1, "Label2", QStringLiteral("Nahtl\u00E4nge  [mm] :"), 41, 94, 18);
    SpinEdit2 = makeSpin("SpinEdit2", 1, 1, 1000, 100, 208, 96, 65);
    Label4 = makeLabel(Panel1, "Label4", QStringLiteral("Wurzelbreite bw [mm]:"), 300, 94, 18);
    SpinEdit4 = makeSpin("SpinEdit4", 0.5, 1, 50, 2, 504, 96, 57);
    nameAfterCaption(Label1, SpinEdit1);
    nameAfterCaption(Label2, SpinEdit2);
    nameAfterCaption(Label3, SpinEdit3);
    nameAfterCaption(Label4, SpinEdit4);

    Bevel2 = new QFrame(Panel1);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel2->setGeometry(8, 130, 649, 7);

    CheckBox1 = new QCheckBox(QStringLiteral(" Naht zur Schwei\u00DFerpr\u00FCfung nach DIN EN 287-1:2006 bewertet"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(48, 142, 425, 20);
    CheckBox2 = new QCheckBox(QStringLiteral("Naht nach Ril 804.4101 Tabelle 3 - Eisenbahnbr\u00FCcken - bewertet"), Panel1);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(48, 165, 411, 20);
    // A caption is never cut off, whatever the font's width.
    for (QCheckBox* box : {CheckBox1, CheckBox2})
        box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
}

void TForm3::buildRecordPanel()
{
    QLabel* caption = makeLabel(Panel2, "Label7", QStringLiteral("Gruppe :"), 48, 16, 17);
    DBEdit1 = makeDisplayField(Panel2, "DBEdit1", 120, 16, 409, 24);
    nameAfterCaption(caption, DBEdit1);
    caption = makeLabel(Panel2, "Label8", QStringLiteral("t [mm] :"), 56, 56, 17);
    DBEdit2 = makeDisplayField(Panel2, "DBEdit2", 120, 56, 145, 24);
    nameAfterCaption(caption, DBEdit2);
    caption = makeLabel(Panel2, "Label9", QStringLiteral("Unregelm\u00E4\u00DFig.:"), 8, 96, 17);
    DBEdit3 = makeDisplayField(Panel2, "DBEdit3", 120, 96, 537, 24);
    nameAfterCaption(caption, DBEdit3);
    caption = makeLabel(Panel2, "Label10", QStringLiteral("Ordnungsnr.:"), 17, 137, 17);
    DBEdit4 = makeDisplayField(Panel2, "DBEdit4", 120, 136, 538, 24);
    nameAfterCaption(caption, DBEdit4);
    caption = makeLabel(Panel2, "Label11", QStringLiteral("Bemerkung:"), 25, 168, 17);
    DBMemo1 = new QPlainTextEdit(Panel2);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    nameAfterCaption(caption, DBMemo1);
    DBMemo1->setReadOnly(true);
    DBMemo1->setTabChangesFocus(true);
    DBMemo1->setTextInteractionFlags(Qt::NoTextInteraction);
    DBMemo1->setGeometry(120, 176, 537, 65);
    QPalette memoPalette = DBMemo1->palette();
    memoPalette.setColor(QPalette::Base, kSilver);
    DBMemo1->setPalette(memoPalette);
    caption = makeLabel(Panel2, "Label12", QStringLiteral("Grenzwerte :"), 23, 250, 17);
    DBEdit5 = makeDisplayField(Panel2, "DBEdit5", 120, 255, 538, 25);
    nameAfterCaption(caption, DBEdit5);

    StaticText1 = makeLabel(Panel2, "StaticText1", QStringLiteral("f\u00FCr diese Naht :"), 8, 296, 17);
    StaticText2 = new QLabel(Panel2);
    StaticText2->setObjectName(QStringLiteral("StaticText2"));
    StaticText2->setFont(windowFont(14));
    StaticText2->setGeometry(125, 298, kPanel1Width - 125 - 8, 22);
}

void TForm3::buildTabOrder()
{
    // Inputs first, then the catalogue fields, the options and the grid.
    const QList<QWidget*> order = {ComboBox1, ComboBox2, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, DBEdit1,
                                   DBEdit2,   DBEdit3,   DBEdit4,   DBMemo1,   DBEdit5,   CheckBox1, CheckBox2,
                                   DBGrid1};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm3::connectHandlers()
{
    // Commands: a menu item and a toolbar button share one handler.
    connect(Druckereinrichten1, &QAction::triggered, this, &TForm3::ToolButton2Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TForm3::ToolButton2Click);
    connect(Ansicht1, &QAction::triggered, this, &TForm3::ToolButton3Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TForm3::ToolButton3Click);
    connect(Drucken1, &QAction::triggered, this, &TForm3::ToolButton3Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TForm3::ToolButton3Click);
    connect(Beenden1, &QAction::triggered, this, &TForm3::ToolButton11Click);
    connect(ToolButton11, &QToolButton::clicked, this, &TForm3::ToolButton11Click);
    connect(DateiAnfang1, &QAction::triggered, this, &TForm3::tbFirstClick);
    connect(tbFirst, &QToolButton::clicked, this, &TForm3::tbFirstClick);
    connect(VorherigerDatensatz1, &QAction::triggered, this, &TForm3::tbPriClick);
    connect(tbPri, &QToolButton::clicked, this, &TForm3::tbPriClick);
    connect(NchsterDatensatz1, &QAction::triggered, this, &TForm3::tbNextClick);
    connect(tbNext, &QToolButton::clicked, this, &TForm3::tbNextClick);
    connect(DateiEnde1, &QAction::triggered, this, &TForm3::tbLastClick);
    connect(tbLast, &QToolButton::clicked, this, &TForm3::tbLastClick);
    connect(Handbuch1, &QAction::triggered, this, &TForm3::ToolButton6Click);
    connect(ToolButton6, &QToolButton::clicked, this, &TForm3::ToolButton6Click);
    connect(Backup1, &QAction::triggered, this, &TForm3::ToolButton7Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TForm3::ToolButton7Click);
    connect(NeuBerechnung1, &QAction::triggered, this, &TForm3::ToolButton8Click);
    connect(ToolButton8, &QToolButton::clicked, this, &TForm3::ToolButton8Click);
    connect(Hilfeaufrufen1, &QAction::triggered, this, &TForm3::ToolButton9Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TForm3::ToolButton9Click);
    connect(Infober1, &QAction::triggered, this, &TForm3::Infober1Click);

    // Weld inputs: a selector changes by its list, its arrow keys, or by a
    // text the user types.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox1Change);
    connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, this, &TForm3::ComboBox1Change);
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TForm3::ComboBox2Change);
    connect(ComboBox2->lineEdit(), &QLineEdit::textEdited, this, &TForm3::ComboBox2Change);
    connect(SpinEdit1, &QDoubleSpinBox::valueChanged, this, &TForm3::SpinEdit1Change);
    connect(SpinEdit2, &QDoubleSpinBox::valueChanged, this, &TForm3::SpinEdit2Change);
    connect(SpinEdit3, &QDoubleSpinBox::valueChanged, this, &TForm3::SpinEdit3Change);
    connect(SpinEdit4, &QDoubleSpinBox::valueChanged, this, &TForm3::SpinEdit4Change);

    // The grid: a row chosen with the mouse or the arrow keys becomes the
    // catalogue's current row.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { DBGrid1RowChange(current.row()); });

    // Activation: remember when another window of the program was active.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm3::onFocusWindowChanged);

    // Focus and key events of the inputs and the display fields.
    for (QWidget* input : std::initializer_list<QWidget*>{ComboBox1, ComboBox2, SpinEdit1, SpinEdit2, SpinEdit3,
                                                          SpinEdit4})
        input->installEventFilter(this);
    for (QWidget* field : std::initializer_list<QWidget*>{DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBMemo1,
                                                          DBMemo1->viewport()})
        field->installEventFilter(this);
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
        ComboBox1->addItems({QStringLiteral("Stumpfnaht"), QStringLiteral("Kehlnaht")});
        ComboBox2->addItems({QStringLiteral("B (hoch)"), QStringLiteral("C (mittel)"), QStringLiteral("D (niedrig)")});
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
    // box returns to where the user was, and the help and the manual are
    // read beside the weld the user is working on: none of them counts.
    if (window->type() == Qt::Popup || window->type() == Qt::ToolTip)
        return;
    for (QWidget* topLevel : QApplication::topLevelWidgets()) {
        if (topLevel->windowHandle() == window
            && (qobject_cast<QMessageBox*>(topLevel) || qobject_cast<THelpViewer*>(topLevel)))
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
    m_RvSystem1->execute(report::buildReportParameters(inputs, m_state.aResult), this);
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
    WalkAllRows(m_table1);
    DBGrid1->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// The catalogue's rows

void TForm3::Table1DataChange()
{
    setFieldText(DBEdit1, qs(m_table1.FieldText("Gruppe")));
    setFieldText(DBEdit2, qs(m_table1.FieldText("tmm")));
    setFieldText(DBEdit3, qs(m_table1.FieldText("Unregelm\u00E4\u00DFigkeit")));
    setFieldText(DBEdit4, qs(m_table1.FieldText("OrdnungsNr")));
    const QString remarks = qs(m_table1.FieldText("Bemerkungen"));
    if (DBMemo1->toPlainText() != remarks)
        DBMemo1->setPlainText(remarks);
    m_limitField->refresh();

    showCurrentRow();
    DataSource1DataChange();
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
    nameAfterCaption(Label1, SpinEdit1);
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
    const bool isField = watched == DBEdit1 || watched == DBEdit2 || watched == DBEdit3 || watched == DBEdit4
                         || watched == DBEdit5 || watched == DBMemo1 || watched == DBMemo1->viewport();
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
