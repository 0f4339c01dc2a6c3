// The construction of the main window: its menu, toolbar, status bar,
// panels and fields with their geometry and fonts, the tab order, and the
// connections of the controls to the window's handlers.

#include "window/ENUnit3Layout.h"
#include "window/ENUnit3.h"

#include "evaluation/DimensionRange.h"
#include "evaluation/WeldWords.h"
#include "look/WindowLook.h"
#include "window/CatalogueModel.h"
#include "window/SpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
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
#include <QWindow>

#include <algorithm>

namespace veltrano {

namespace form3 {

void nameAfterCaption(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    QString name = caption->text().simplified();
    while (name.endsWith(QLatin1Char(':')))
        name = name.chopped(1).trimmed();
    control->setAccessibleName(name);
}

} // namespace form3

using namespace form3;

namespace {

const QColor kSilver(192, 192, 192);

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int pixelSize)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(windowFont(pixelSize));
    label->move(x, y);
    label->adjustSize();
    return label;
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

} // namespace

void TForm3::buildMenu()
{
    auto addItem = [](QMenu* menu, const char* name, const QString& text, int image) {
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
    Pruefprotokoll1 = Extra1->addAction(recordIcon(), QStringLiteral("&Pr\u00FCfprotokoll"));
    Pruefprotokoll1->setObjectName(QStringLiteral("Pruefprotokoll1"));
    Pruefprotokoll1->setIconVisibleInMenu(true);

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
    // The inspection record stands with the other commands of "Extra".
    ToolButtonRecord = addButton("ToolButtonRecord", QStringLiteral("Pr\u00FCfprotokoll"), 0);
    ToolButtonRecord->setIcon(recordIcon());
    ToolButtonRecord->setAccessibleName(QStringLiteral("Pr\u00FCfprotokoll"));
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
    ComboBox1->setEditText(QString::fromUtf8(seamWord(SeamType::Butt)));
    nameAfterCaption(Label5, ComboBox1);

    Label6 = makeLabel(Panel1, "Label6", QStringLiteral("Bewertungsgruppe:"), 296, 8, 18);
    ComboBox2 = new QComboBox(Panel1);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->setFont(windowFont(13));
    ComboBox2->setGeometry(470, 8, 113, 22);
    ComboBox2->setEditText(QString::fromUtf8(levelWord(QualityLevel::B)));
    nameAfterCaption(Label6, ComboBox2);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 40, 593, 2);

    auto makeSpin = [this](const char* name, const DimensionRange& range, double value, int x, int y, int width) {
        auto* spin = new WeldSpinEdit(range.step(), range.minimum(), range.maximum(), value, Panel1);
        spin->setObjectName(QLatin1String(name));
        spin->setFont(windowFont(14));
        spin->setGeometry(x, y, width, 24);
        return spin;
    };
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("Materialdicke t [mm]:"), 17, 52, 18);
    SpinEdit1 = makeSpin("SpinEdit1", kRangeT, 10, 208, 56, 65);
    Label3 = makeLabel(Panel1, "Label3", QStringLiteral("Nahtbreite b [mm] :"), 300, 52, 18);
    SpinEdit3 = makeSpin("SpinEdit3", kRangeB, 12, 504, 56, 57);
    Label2 = makeLabel(Panel1, "Label2", QStringLiteral("Nahtl\u00E4nge  [mm] :"), 41, 94, 18);
    SpinEdit2 = makeSpin("SpinEdit2", kRangeL, 100, 208, 96, 65);
    Label4 = makeLabel(Panel1, "Label4", QStringLiteral("Wurzelbreite bw [mm]:"), 300, 94, 18);
    SpinEdit4 = makeSpin("SpinEdit4", kRangeBw, 2, 504, 96, 57);
    nameAfterCaption(Label1, SpinEdit1);
    nameAfterCaption(Label2, SpinEdit2);
    nameAfterCaption(Label3, SpinEdit3);
    nameAfterCaption(Label4, SpinEdit4);

    Bevel2 = new QFrame(Panel1);
    Bevel2->setObjectName(QStringLiteral("Bevel2"));
    Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel2->setGeometry(8, 130, 649, 7);

    CheckBox1 =
        new QCheckBox(QStringLiteral(" Naht zur Schwei\u00DFerpr\u00FCfung nach DIN EN 287-1:2006 bewertet"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(48, 142, 425, 20);
    CheckBox2 =
        new QCheckBox(QStringLiteral("Naht nach Ril 804.4101 Tabelle 3 - Eisenbahnbr\u00FCcken - bewertet"), Panel1);
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
    const QList<QWidget*> order = {ComboBox1, ComboBox2, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4, DBEdit1, DBEdit2,
                                   DBEdit3,   DBEdit4,   DBMemo1,   DBEdit5,   CheckBox1, CheckBox2, DBGrid1};
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
    connect(Pruefprotokoll1, &QAction::triggered, this, &TForm3::PruefprotokollClick);
    connect(ToolButtonRecord, &QToolButton::clicked, this, &TForm3::PruefprotokollClick);
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
    for (QWidget* input :
         std::initializer_list<QWidget*>{ComboBox1, ComboBox2, SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4})
        input->installEventFilter(this);
    for (QWidget* field :
         std::initializer_list<QWidget*>{DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBMemo1, DBMemo1->viewport()})
        field->installEventFilter(this);
}

} // namespace veltrano
