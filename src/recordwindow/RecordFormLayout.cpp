// The record window's construction: its menu, its fields, the findings
// table and the wiring of every field to the command it takes over.

#include "recordwindow/RecordForm.h"

#include "look/WindowLook.h"
#include "recordwindow/FindingsTable.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QUndoStack>
#include <QVBoxLayout>

namespace veltrano {

using namespace findings;

using record::Record;
using record::Weld;

void TRecordForm::buildMenu()
{
    auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Datei"));
    NewAction = add(file, "NewAction", QStringLiteral("&Neu"), QKeySequence::New, &TRecordForm::newRecord);
    OpenAction = add(file, "OpenAction", QStringLiteral("Ö&ffnen…"), QKeySequence::Open, &TRecordForm::openRecord);
    SaveAction = add(file, "SaveAction", QStringLiteral("&Speichern"), QKeySequence::Save, &TRecordForm::save);
    SaveAsAction = add(file, "SaveAsAction", QStringLiteral("Speichern &unter…"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &TRecordForm::saveAs);
    file->addSeparator();
    PreviewAction = add(file, "PreviewAction", QStringLiteral("Seiten&ansicht"), QKeySequence(), &TRecordForm::preview);
    PrintAction = add(file, "PrintAction", QStringLiteral("&Drucken…"), QKeySequence::Print, &TRecordForm::print);
    PdfAction = add(file, "PdfAction", QStringLiteral("Als &PDF speichern…"), QKeySequence(), &TRecordForm::saveAsPdf);
    file->addSeparator();
    CloseAction =
        add(file, "CloseAction", QStringLiteral("S&chließen"), QKeySequence(Qt::CTRL | Qt::Key_W), &QWidget::close);

    QMenu* editMenu = menuBar()->addMenu(QStringLiteral("&Bearbeiten"));
    UndoAction = m_undo->createUndoAction(this, QStringLiteral("&Rückgängig"));
    UndoAction->setObjectName(QStringLiteral("UndoAction"));
    UndoAction->setShortcut(QKeySequence::Undo);
    RedoAction = m_undo->createRedoAction(this, QStringLiteral("&Wiederherstellen"));
    RedoAction->setObjectName(QStringLiteral("RedoAction"));
    RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    editMenu->addAction(UndoAction);
    editMenu->addAction(RedoAction);
    editMenu->addSeparator();
    add(editMenu, "AddWeldAction", QStringLiteral("Naht &hinzufügen"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
        &TRecordForm::addWeld);
    add(editMenu, "DuplicateWeldAction", QStringLiteral("Naht &duplizieren"), QKeySequence(),
        &TRecordForm::duplicateWeld);
    add(editMenu, "RemoveWeldAction", QStringLiteral("Naht &entfernen"), QKeySequence(), &TRecordForm::removeWeld);
    add(editMenu, "TakeOverAction", QStringLiteral("Naht aus &Hauptfenster übernehmen"), QKeySequence(),
        &TRecordForm::takeOverMainWindowWeld);
    editMenu->addSeparator();
    add(editMenu, "AddFindingAction", QStringLiteral("&Befund hinzufügen"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
        &TRecordForm::addFinding);
    add(editMenu, "RemoveFindingAction", QStringLiteral("Befund ent&fernen"), QKeySequence(),
        &TRecordForm::removeFinding);
}

void TRecordForm::buildClientArea()
{
    // At large scaling on a small screen the window scrolls rather than
    // cutting off its fields.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("RecordScrollArea"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setAccessibleName(kRecordWindowTitle);
    setCentralWidget(scroll);
    auto* central = new QWidget(scroll);
    central->setObjectName(QStringLiteral("RecordClientArea"));
    central->setMinimumSize(900, 620);
    scroll->setWidget(central);
    auto* outer = new QVBoxLayout(central);

    auto verdictLabel = [&](const char* name, const QString& accessible) {
        auto* label = new QLabel(central);
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(accessible);
        label->setWordWrap(true);
        label->setMargin(6);
        label->setAutoFillBackground(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        outer->addWidget(label);
        return label;
    };
    RecordVerdictLabel = verdictLabel("RecordVerdictLabel", QStringLiteral("Ergebnis des Protokolls"));
    QFont big = RecordVerdictLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    RecordVerdictLabel->setFont(big);

    auto lineEdit = [](QWidget* parent, const char* name, const QString& accessible) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(accessible);
        return e;
    };

    // The header of the inspection job.
    auto* header = new QGroupBox(QStringLiteral("Prüfauftrag"), central);
    header->setObjectName(QStringLiteral("HeaderGroup"));
    auto* hg = new QGridLayout(header);
    struct HeaderField {
        QLineEdit** edit;
        const char* name;
        const char* label;
    };
    const HeaderField fields[] = {
        {&OrderEdit, "OrderEdit", "Auftrag"},         {&ComponentEdit, "ComponentEdit", "Bauteil"},
        {&DrawingEdit, "DrawingEdit", "Zeichnung"},   {&StandardEdit, "StandardEdit", "Norm"},
        {&MethodEdit, "MethodEdit", "Prüfverfahren"}, {&StageEdit, "StageEdit", "Prüfstufe"},
        {&InspectorEdit, "InspectorEdit", "Prüfer"},  {&QualificationEdit, "QualificationEdit", "Qualifikation"},
        {&DateEdit, "DateEdit", "Prüfdatum"},         {&PlaceEdit, "PlaceEdit", "Prüfort"},
        {&RemarksEdit, "RemarksEdit", "Bemerkungen"},
    };
    int i = 0;
    for (const HeaderField& f : fields) {
        const QString label = QString::fromUtf8(f.label);
        *f.edit = lineEdit(header, f.name, label);
        auto* caption = new QLabel(label + QLatin1Char(':'), header);
        caption->setBuddy(*f.edit);
        const int row = i / 3;
        const int column = (i % 3) * 2;
        if (*f.edit == RemarksEdit) {
            hg->addWidget(caption, row + 1, 0);
            hg->addWidget(*f.edit, row + 1, 1, 1, 5);
        } else {
            hg->addWidget(caption, row, column);
            hg->addWidget(*f.edit, row, column + 1);
        }
        ++i;
    }
    StandardEdit->setPlaceholderText(QString::fromUtf8(record::kDefaultStandard));
    DateEdit->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    outer->addWidget(header);

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("RecordSplitter"));
    splitter->setChildrenCollapsible(false);
    outer->addWidget(splitter, 1);

    // The welds of the record.
    auto* weldsBox = new QGroupBox(QStringLiteral("Nähte"), splitter);
    weldsBox->setObjectName(QStringLiteral("WeldsGroup"));
    auto* wl = new QVBoxLayout(weldsBox);
    WeldList = new QListWidget(weldsBox);
    WeldList->setObjectName(QStringLiteral("WeldList"));
    WeldList->setAccessibleName(QStringLiteral("Nähte des Protokolls"));
    wl->addWidget(WeldList, 1);
    auto button = [](QWidget* parent, const char* name, const QString& text, const QString& accessible) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(accessible);
        b->setAutoDefault(false);
        return b;
    };
    AddWeldButton = button(weldsBox, "AddWeldButton", QStringLiteral("&Neue Naht"), QStringLiteral("Naht hinzufügen"));
    DuplicateWeldButton =
        button(weldsBox, "DuplicateWeldButton", QStringLiteral("D&uplizieren"), QStringLiteral("Naht duplizieren"));
    RemoveWeldButton =
        button(weldsBox, "RemoveWeldButton", QStringLiteral("Naht entfe&rnen"), QStringLiteral("Naht entfernen"));
    TakeOverButton = button(weldsBox, "TakeOverButton", QStringLiteral("Naht aus &Hauptfenster übernehmen"),
                            QStringLiteral("Naht aus Hauptfenster übernehmen"));
    auto* wb = new QGridLayout;
    wb->addWidget(AddWeldButton, 0, 0);
    wb->addWidget(DuplicateWeldButton, 0, 1);
    wb->addWidget(RemoveWeldButton, 1, 0, 1, 2);
    wb->addWidget(TakeOverButton, 2, 0, 1, 2);
    wl->addLayout(wb);

    // The selected weld: its verdict, its data and its findings.
    auto* weldPane = new QWidget(splitter);
    weldPane->setObjectName(QStringLiteral("WeldPane"));
    auto* wp = new QVBoxLayout(weldPane);
    wp->setContentsMargins(0, 0, 0, 0);
    WeldVerdictLabel = new QLabel(weldPane);
    WeldVerdictLabel->setObjectName(QStringLiteral("WeldVerdictLabel"));
    WeldVerdictLabel->setAccessibleName(QStringLiteral("Ergebnis der Naht"));
    WeldVerdictLabel->setWordWrap(true);
    WeldVerdictLabel->setMargin(4);
    WeldVerdictLabel->setAutoFillBackground(true);
    QFont boldFont = WeldVerdictLabel->font();
    boldFont.setBold(true);
    WeldVerdictLabel->setFont(boldFont);
    wp->addWidget(WeldVerdictLabel);

    auto* data = new QGroupBox(QStringLiteral("Naht"), weldPane);
    data->setObjectName(QStringLiteral("WeldGroup"));
    auto* dg = new QGridLayout(data);
    WeldIdEdit = lineEdit(data, "WeldIdEdit", QStringLiteral("Kennung der Naht"));
    SeamBox = new QComboBox(data);
    SeamBox->setObjectName(QStringLiteral("SeamBox"));
    SeamBox->setAccessibleName(QStringLiteral("Nahtart"));
    SeamBox->addItems(seamWords());
    LevelBox = new QComboBox(data);
    LevelBox->setObjectName(QStringLiteral("LevelBox"));
    LevelBox->setAccessibleName(QStringLiteral("Bewertungsgruppe"));
    LevelBox->addItems(levelWords());
    TEdit = lineEdit(data, "TEdit", QStringLiteral("Materialdicke t in mm"));
    LEdit = lineEdit(data, "LEdit", QStringLiteral("Nahtlänge l in mm"));
    BEdit = lineEdit(data, "BEdit", QStringLiteral("Nahtbreite b in mm"));
    BwEdit = lineEdit(data, "BwEdit", QStringLiteral("Wurzelbreite bw in mm"));
    WelderTestBox = new QCheckBox(QStringLiteral("Schweißerprüfung nach DIN EN 287-1"), data);
    WelderTestBox->setObjectName(QStringLiteral("WelderTestBox"));
    WelderTestBox->setAccessibleName(QStringLiteral("Naht zur Schweißerprüfung bewertet"));
    RailBridgeBox = new QCheckBox(QStringLiteral("Ril 804.4101 (Eisenbahnbrücken)"), data);
    RailBridgeBox->setObjectName(QStringLiteral("RailBridgeBox"));
    RailBridgeBox->setAccessibleName(QStringLiteral("Naht nach Ril 804.4101 bewertet"));
    WelderEdit = lineEdit(data, "WelderEdit", QStringLiteral("Schweißer"));
    ProcessEdit = lineEdit(data, "ProcessEdit", QStringLiteral("Schweißprozess"));
    WeldLocationEdit = lineEdit(data, "WeldLocationEdit", QStringLiteral("Lage der Naht"));
    WeldRemarksEdit = lineEdit(data, "WeldRemarksEdit", QStringLiteral("Bemerkungen zur Naht"));
    const std::pair<QString, QWidget*> cells[] = {
        {QStringLiteral("Kennung:"), WeldIdEdit},
        {QStringLiteral("Nahtart:"), SeamBox},
        {QStringLiteral("Bewertungsgruppe:"), LevelBox},
        {QStringLiteral("t [mm]:"), TEdit},
        {QStringLiteral("l [mm]:"), LEdit},
        {QStringLiteral("b [mm]:"), BEdit},
        {QStringLiteral("bw [mm]:"), BwEdit},
        {QStringLiteral("Schweißer:"), WelderEdit},
        {QStringLiteral("Prozess:"), ProcessEdit},
        {QStringLiteral("Lage:"), WeldLocationEdit},
    };
    int c = 0;
    for (const auto& [text, widget] : cells) {
        auto* caption = new QLabel(text, data);
        caption->setBuddy(widget);
        dg->addWidget(caption, c / 4, (c % 4) * 2);
        dg->addWidget(widget, c / 4, (c % 4) * 2 + 1);
        ++c;
    }
    dg->addWidget(WelderTestBox, 2, 4, 1, 2);
    dg->addWidget(RailBridgeBox, 2, 6, 1, 2);
    auto* remarksCaption = new QLabel(QStringLiteral("Bemerkungen:"), data);
    remarksCaption->setBuddy(WeldRemarksEdit);
    dg->addWidget(remarksCaption, 3, 0);
    dg->addWidget(WeldRemarksEdit, 3, 1, 1, 7);
    wp->addWidget(data);

    auto* findings = new QGroupBox(QStringLiteral("Befunde"), weldPane);
    findings->setObjectName(QStringLiteral("FindingsGroup"));
    auto* fl = new QVBoxLayout(findings);
    auto* table = new FindingsTable(findings);
    FindingsView = table;
    FindingsView->setObjectName(QStringLiteral("FindingsView"));
    FindingsView->setAccessibleName(QStringLiteral("Befunde der Naht"));
    m_model = new FindingsModel(*this, this);
    FindingsView->setModel(m_model);
    FindingsView->setItemDelegate(new FindingsDelegate(*this, FindingsView));
    FindingsView->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::DoubleClicked);
    FindingsView->setSelectionBehavior(QAbstractItemView::SelectItems);
    FindingsView->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the table when no field is being edited.
    FindingsView->setTabKeyNavigation(false);
    FindingsView->setWordWrap(true);
    FindingsView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const int widths[ColumnCount] = {220, 75, 85, 140, 110, 125, 90, 120, 280};
    for (int col = 0; col < ColumnCount; ++col)
        FindingsView->setColumnWidth(col, widths[col]);
    // The limit and the verdict stand beside the measured value; Enter and
    // Tab still go through the entries in their own order.
    FindingsView->horizontalHeader()->moveSection(ColLimit, ColLength + 1);
    FindingsView->horizontalHeader()->moveSection(ColVerdict, ColLength + 2);
    FindingsView->horizontalHeader()->moveSection(ColReason, ColLength + 3);
    table->onDelete = [this] { removeFinding(); };
    table->onInsert = [this] { addFinding(); };
    // Esc on a refused entry shows the last valid value again.
    table->onRevert = [this] {
        const QModelIndex current = FindingsView->currentIndex();
        if (current.isValid() && m_badCells.erase({m_weld, current.row(), current.column()}))
            m_model->update();
    };
    fl->addWidget(FindingsView, 1);
    AddFindingButton =
        button(findings, "AddFindingButton", QStringLiteral("&Befund hinzufügen"), QStringLiteral("Befund hinzufügen"));
    RemoveFindingButton = button(findings, "RemoveFindingButton", QStringLiteral("Befund &entfernen"),
                                 QStringLiteral("Befund entfernen"));
    auto* fb = new QHBoxLayout;
    fb->addWidget(AddFindingButton);
    fb->addWidget(RemoveFindingButton);
    fb->addStretch(1);
    fl->addLayout(fb);
    wp->addWidget(findings, 1);

    splitter->addWidget(weldsBox);
    splitter->addWidget(weldPane);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 1000});

    // Header, welds, the weld's data, its findings.
    const QList<QWidget*> order = {OrderEdit,
                                   ComponentEdit,
                                   DrawingEdit,
                                   StandardEdit,
                                   MethodEdit,
                                   StageEdit,
                                   InspectorEdit,
                                   QualificationEdit,
                                   DateEdit,
                                   PlaceEdit,
                                   RemarksEdit,
                                   WeldList,
                                   AddWeldButton,
                                   DuplicateWeldButton,
                                   RemoveWeldButton,
                                   TakeOverButton,
                                   WeldIdEdit,
                                   SeamBox,
                                   LevelBox,
                                   TEdit,
                                   LEdit,
                                   BEdit,
                                   BwEdit,
                                   WelderEdit,
                                   ProcessEdit,
                                   WeldLocationEdit,
                                   WelderTestBox,
                                   RailBridgeBox,
                                   WeldRemarksEdit,
                                   FindingsView,
                                   AddFindingButton,
                                   RemoveFindingButton};
    for (qsizetype k = 1; k < order.size(); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);
}

void TRecordForm::connectFields()
{
    auto onCommit = [this](QWidget* field, std::function<void()> commit) {
        field->setProperty("veltranoCommit", true);
        field->installEventFilter(this);
        m_commits[field] = commit;
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            connect(edit, &QLineEdit::editingFinished, this, [this, field] {
                if (!m_refreshing)
                    m_commits[field]();
            });
            // A bad entry is marked as it is typed; it is taken over when the
            // field is confirmed or left.
            connect(edit, &QLineEdit::textEdited, this, [this, field] {
                m_checkOnly = true;
                m_commits[field]();
                m_checkOnly = false;
            });
        }
    };
    using I = record::Inspection;
    const std::pair<QLineEdit*, std::optional<std::string> I::*> header[] = {
        {OrderEdit, &I::order},         {ComponentEdit, &I::component},
        {DrawingEdit, &I::drawing},     {StandardEdit, &I::standard},
        {MethodEdit, &I::method},       {StageEdit, &I::stage},
        {InspectorEdit, &I::inspector}, {QualificationEdit, &I::qualification},
        {PlaceEdit, &I::place},         {RemarksEdit, &I::remarks},
    };
    for (const auto& field : header) {
        const auto edit = field.first;
        const auto member = field.second;
        onCommit(edit, [this, edit, member] { commitHeaderField(edit, member); });
    }
    onCommit(DateEdit, [this] { commitDate(); });
    onCommit(WeldIdEdit, [this] { commitWeldId(); });
    onCommit(TEdit, [this] { commitDimension(TEdit, &Weld::t); });
    onCommit(LEdit, [this] { commitDimension(LEdit, &Weld::l); });
    onCommit(BEdit, [this] { commitDimension(BEdit, &Weld::b); });
    onCommit(BwEdit, [this] { commitDimension(BwEdit, &Weld::bw); });
    onCommit(WelderEdit, [this] { commitWeldText(WelderEdit, &Weld::welder); });
    onCommit(ProcessEdit, [this] { commitWeldText(ProcessEdit, &Weld::process); });
    onCommit(WeldLocationEdit, [this] { commitWeldText(WeldLocationEdit, &Weld::location); });
    onCommit(WeldRemarksEdit, [this] { commitWeldText(WeldRemarksEdit, &Weld::remarks); });

    for (QWidget* w : std::initializer_list<QWidget*>{SeamBox, LevelBox, WelderTestBox, RailBridgeBox})
        w->installEventFilter(this);
    connect(SeamBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_refreshing || m_weld < 0 || index < 0)
            return;
        edit(QStringLiteral("Nahtart ändern"), [this, index](Record& r) {
            r.welds[static_cast<std::size_t>(m_weld)].seam = index == 1 ? SeamType::Fillet : SeamType::Butt;
        });
    });
    connect(LevelBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_refreshing || m_weld < 0 || index < 0)
            return;
        edit(QStringLiteral("Bewertungsgruppe ändern"), [this, index](Record& r) {
            r.welds[static_cast<std::size_t>(m_weld)].level = static_cast<QualityLevel>(index + 1);
        });
    });
    auto option = [this](QCheckBox* box, std::optional<bool> Weld::*member, const QString& what) {
        connect(box, &QCheckBox::toggled, this, [this, member, what](bool on) {
            if (m_refreshing || m_weld < 0)
                return;
            edit(what, [this, member, on](Record& r) {
                // An option that was never set stays unset while it is off.
                auto& value = r.welds[static_cast<std::size_t>(m_weld)].*member;
                value = on || value ? std::optional<bool>(on) : std::nullopt;
            });
        });
    };
    option(WelderTestBox, &Weld::welderTest, QStringLiteral("Schweißerprüfung ändern"));
    option(RailBridgeBox, &Weld::railBridge, QStringLiteral("Eisenbahnbrücke ändern"));

    connect(WeldList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_refreshing || row < 0 || row == m_weld)
            return;
        m_weld = row;
        for (QLineEdit* e : {WeldIdEdit, TEdit, LEdit, BEdit, BwEdit})
            markField(e, {});
        refresh();
    });
    connect(AddWeldButton, &QPushButton::clicked, this, &TRecordForm::addWeld);
    connect(DuplicateWeldButton, &QPushButton::clicked, this, &TRecordForm::duplicateWeld);
    connect(RemoveWeldButton, &QPushButton::clicked, this, &TRecordForm::removeWeld);
    connect(TakeOverButton, &QPushButton::clicked, this, &TRecordForm::takeOverMainWindowWeld);
    connect(AddFindingButton, &QPushButton::clicked, this, &TRecordForm::addFinding);
    connect(RemoveFindingButton, &QPushButton::clicked, this, &TRecordForm::removeFinding);
}

} // namespace veltrano
