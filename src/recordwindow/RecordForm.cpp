#include "RecordForm.h"

#include "RecordFile.h"
#include "RecordFileQuestions.h"
#include "RecordPrint.h"
#include "RowLookup.h"
#include "WindowLook.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace veltrano {

using record::Finding;
using record::FindingVerdict;
using record::Judgement;
using record::Record;
using record::Verdict;
using record::Weld;
using record::WrittenNumber;

namespace {

const QString kWindowTitle = QStringLiteral("Prüfprotokoll");

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

std::string ss(const QString& s)
{
    return s.toStdString();
}

QString verdictText(Verdict v)
{
    return QString::fromUtf8(record::verdictWord(v));
}

// The colours of the verdicts; the word always stands beside them.
QColor verdictBackground(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return QColor(0xc8, 0xe6, 0xc9);
    case Verdict::Rejected:
        return QColor(0xf7, 0xc1, 0xc1);
    case Verdict::Open:
        break;
    }
    return QColor(0xff, 0xe8, 0xa3);
}

QColor verdictForeground(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return QColor(0x1b, 0x5e, 0x20);
    case Verdict::Rejected:
        return QColor(0x8b, 0x00, 0x00);
    case Verdict::Open:
        break;
    }
    return QColor(0x5d, 0x43, 0x00);
}

const QColor kBadBackground(0xff, 0xd6, 0xd6);

QString numberText(const WrittenNumber& n)
{
    const auto v = n.value();
    return v ? qs(v->text(",")) : qs(n.text);
}

WrittenNumber typedNumber(const QString& text)
{
    return WrittenNumber::typed(ss(text.trimmed()));
}

std::optional<std::string> optionalText(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    return ss(t);
}

// The date of the header as a German reader writes it, and back to the
// ISO 8601 date of the file.
QString dateShown(const std::optional<std::string>& iso)
{
    if (!iso)
        return {};
    const QString s = qs(*iso);
    if (const QDate d = QDate::fromString(s, Qt::ISODate); d.isValid())
        return d.toString(QStringLiteral("dd.MM.yyyy"));
    return s;
}

std::optional<std::string> dateTyped(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    if (const QDate d = QDate::fromString(t, QStringLiteral("d.M.yyyy")); d.isValid())
        return ss(d.toString(Qt::ISODate));
    // A two-digit year is of this century.
    if (const QDate d = QDate::fromString(t, QStringLiteral("d.M.yy")); d.isValid())
        return ss(d.addYears(100).toString(Qt::ISODate));
    return ss(t);
}

QString fileNamePart(QString s)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : s)
        if (forbidden.contains(c) || c.isSpace())
            c = QLatin1Char('_');
    return s;
}

bool sameRecord(const Record& a, const Record& b)
{
    return record::serializeRecord(a) == record::serializeRecord(b);
}

enum Column { ColRow, ColValue, ColLength, ColLocation, ColRemark, ColJudgement, ColLimit, ColVerdict, ColReason,
              ColumnCount };
constexpr int kLastEditable = ColJudgement;

const char* const kColumnTitles[ColumnCount] = {"Katalogzeile", "Messwert", "Länge [mm]", "Ort", "Bemerkung",
                                                "Urteil des Prüfers", "Grenzwert", "Ergebnis", "Begründung"};

QString judgementText(Judgement j)
{
    switch (j) {
    case Judgement::Accepted:
        return verdictText(Verdict::Accepted);
    case Judgement::Rejected:
        return verdictText(Verdict::Rejected);
    case Judgement::None:
        break;
    }
    return QStringLiteral("\u2013");
}

} // namespace

// ---------------------------------------------------------------------------
// The findings table of the selected weld

class FindingsModel : public QAbstractTableModel {
public:
    explicit FindingsModel(TRecordForm& form)
        : QAbstractTableModel(&form)
        , m_form(form)
    {
    }

    const Weld* weld() const
    {
        const auto& welds = m_form.m_record.welds;
        return m_form.m_weld >= 0 && m_form.m_weld < static_cast<int>(welds.size())
                   ? &welds[static_cast<std::size_t>(m_form.m_weld)]
                   : nullptr;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    // After every change of the record: a new shape resets the view, an
    // edit of a value only repaints it, so an open editor chain stays.
    void update()
    {
        const Weld* w = weld();
        const int rows = w ? static_cast<int>(w->findings.size()) : 0;
        if (rows != m_rows || m_form.m_weld != m_shownWeld) {
            beginResetModel();
            m_rows = rows;
            m_shownWeld = m_form.m_weld;
            endResetModel();
        } else if (rows > 0) {
            emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
            return QString::fromUtf8(kColumnTitles[section]);
        if (orientation == Qt::Vertical && role == Qt::DisplayRole)
            return section + 1;
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() <= kLastEditable)
            f |= Qt::ItemIsEditable;
        return f;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Weld* w = weld();
        if (!w || index.row() >= static_cast<int>(w->findings.size()))
            return {};
        const Finding& f = w->findings[static_cast<std::size_t>(index.row())];
        const auto& verdicts = m_form.m_verdict.welds;
        const FindingVerdict* v = nullptr;
        if (m_form.m_weld < static_cast<int>(verdicts.size()) &&
            index.row() < static_cast<int>(verdicts[static_cast<std::size_t>(m_form.m_weld)].findings.size()))
            v = &verdicts[static_cast<std::size_t>(m_form.m_weld)].findings[static_cast<std::size_t>(index.row())];
        const QString bad = m_form.badCell(index.row(), index.column());
        const bool isBad = !m_form.badReason(index.row(), index.column()).isEmpty();

        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole:
            if (isBad)
                return bad;
            return text(f, v, index.column(), role == Qt::EditRole);
        case Qt::BackgroundRole:
            if (isBad)
                return kBadBackground;
            if (v && index.column() == ColVerdict)
                return verdictBackground(v->verdict);
            return {};
        case Qt::ForegroundRole:
            if (v && index.column() == ColVerdict)
                return verdictForeground(v->verdict);
            return {};
        case Qt::FontRole:
            if (index.column() == ColVerdict) {
                QFont font = m_form.font();
                font.setBold(true);
                return font;
            }
            return {};
        case Qt::ToolTipRole:
            if (isBad)
                return m_form.badReason(index.row(), index.column());
            if (v && index.column() >= ColLimit)
                return qs(v->reason);
            return {};
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        return m_form.setFindingCell(index.row(), index.column(), value.toString());
    }

private:
    QString text(const Finding& f, const FindingVerdict* v, int column, bool forEditing) const
    {
        switch (column) {
        case ColRow:
            return m_form.rowTitle(f.record);
        case ColValue: {
            const auto value = f.value.value();
            return (forEditing || !v || v->unit.empty() || !value) ? numberText(f.value)
                                                                  : qs(record::quantityText(*value, v->unit, ","));
        }
        case ColLength:
            return f.length ? numberText(*f.length) : QString();
        case ColLocation:
            return f.location ? qs(*f.location) : QString();
        case ColRemark:
            return f.remark ? qs(*f.remark) : QString();
        case ColJudgement:
            return judgementText(f.judgement);
        case ColLimit:
            if (!v)
                return {};
            if (v->limit)
                return qs(record::quantityText(*v->limit, v->unit, ","));
            return v->belongs ? qs(v->limitText) : QStringLiteral("nicht zutreffend");
        case ColVerdict:
            return v ? verdictText(v->verdict) : QString();
        case ColReason:
            return v ? qs(v->reason) : QString();
        default:
            return {};
        }
    }

    TRecordForm& m_form;
    int m_rows = 0;
    int m_shownWeld = -2;
};

// Editors of the findings table.  Enter takes the entry over and goes on to
// the next field, as Tab does.
class FindingsDelegate : public QStyledItemDelegate {
public:
    FindingsDelegate(TRecordForm& form, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_form(form)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString name = QString::fromUtf8(kColumnTitles[index.column()]);
        if (index.column() == ColJudgement) {
            auto* box = new QComboBox(parent);
            box->addItems({judgementText(Judgement::None), judgementText(Judgement::Accepted),
                           judgementText(Judgement::Rejected)});
            box->setAccessibleName(name);
            return box;
        }
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        w->setAccessibleName(name);
        if (auto* edit = qobject_cast<QLineEdit*>(w); edit && index.column() == ColRow) {
            // The rows that can belong to this weld, found by number,
            // reference number or any part of the name.
            QStringList titles;
            for (int row : m_form.offeredRows())
                titles << m_form.rowTitle(row);
            auto* completer = new QCompleter(titles, edit);
            completer->setCaseSensitivity(Qt::CaseInsensitive);
            completer->setFilterMode(Qt::MatchContains);
            completer->setCompletionMode(QCompleter::PopupCompletion);
            completer->setMaxVisibleItems(12);
            edit->setCompleter(completer);
            edit->setPlaceholderText(QStringLiteral("Nummer, Ordnungsnummer oder Name"));
            // A row picked from the list is taken over at once, as Enter
            // would; later, so that the list has finished with the key.
            auto* self = const_cast<FindingsDelegate*>(this);
            QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), edit,
                             [self, edit](const QString& title) {
                                 if (!edit->isVisible())
                                     return; // already taken over and closed
                                 edit->setText(title);
                                 emit self->commitData(edit);
                                 emit self->closeEditor(edit, QAbstractItemDelegate::EditNextItem);
                             }, Qt::QueuedConnection);
        }
        return w;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            box->setCurrentIndex(std::max(0, box->findText(index.data(Qt::EditRole).toString())));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto* editor = qobject_cast<QWidget*>(object);
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::EditNextItem);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TRecordForm& m_form;
};

class FindingsTable : public QTableView {
public:
    using QTableView::QTableView;

    std::function<void()> onDelete;
    std::function<void()> onInsert;
    std::function<void()> onRevert;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (state() != EditingState && event->modifiers() == Qt::NoModifier) {
            switch (event->key()) {
            case Qt::Key_Delete:
                if (onDelete)
                    onDelete();
                return;
            case Qt::Key_Insert:
                if (onInsert)
                    onInsert();
                return;
            case Qt::Key_Escape:
                if (onRevert)
                    onRevert();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (currentIndex().isValid()) {
                    if (currentIndex().flags() & Qt::ItemIsEditable)
                        edit(currentIndex());
                    else
                        moveOn(1);
                }
                return;
            default:
                break;
            }
        }
        QTableView::keyPressEvent(event);
    }

    // Enter and Tab in an editor go on to the next field of the finding, and
    // from its last field to the first of the next finding.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
            QTableView::closeEditor(editor, hint);
            return;
        }
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        moveOn(hint == QAbstractItemDelegate::EditNextItem ? 1 : -1);
    }

private:
    void moveOn(int step)
    {
        const QModelIndex current = currentIndex();
        if (!current.isValid())
            return;
        int row = current.row();
        int column = std::min(current.column(), kLastEditable) + step;
        if (column > kLastEditable) {
            column = 0;
            ++row;
        } else if (column < 0) {
            column = kLastEditable;
            --row;
        }
        if (row < 0 || row >= model()->rowCount())
            return;
        const QModelIndex next = model()->index(row, column);
        setCurrentIndex(next);
        edit(next);
    }
};

// One step of the undo stack: the record before and after, and which weld
// and finding were selected.
class RecordEdit : public QUndoCommand {
public:
    RecordEdit(TRecordForm& form, const QString& text, Record before, Record after, int weldBefore, int weldAfter,
               int findingBefore, int findingAfter)
        : QUndoCommand(text)
        , m_form(form)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_weldBefore(weldBefore)
        , m_weldAfter(weldAfter)
        , m_findingBefore(findingBefore)
        , m_findingAfter(findingAfter)
    {
    }
    void redo() override { m_form.setState(m_after, m_weldAfter, m_findingAfter); }
    void undo() override { m_form.setState(m_before, m_weldBefore, m_findingBefore); }

private:
    TRecordForm& m_form;
    Record m_before, m_after;
    int m_weldBefore, m_weldAfter, m_findingBefore, m_findingAfter;
};

// ---------------------------------------------------------------------------
// Construction

TRecordForm::TRecordForm(std::filesystem::path catalogueFile, WeldSource mainWindowWeld, QWidget* parent)
    : QMainWindow(parent)
    , m_catalogue(std::move(catalogueFile))
    , m_mainWindowWeld(std::move(mainWindowWeld))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("RecordForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    m_printer->setDocName(recordprint::kRecordPrintTitle);
    m_printer->setPageSize(QPageSize(QPageSize::A4));

    QString catalogueProblem;
    try {
        m_catalogue.Open();
    } catch (const CatalogueError& e) {
        catalogueProblem = QString::fromLocal8Bit(e.what());
    }
    m_rows = std::make_unique<record::CatalogueRowsOf<Catalogue>>(m_catalogue);

    m_undo = new QUndoStack(this);
    buildMenu();
    buildClientArea();
    connectFields();
    statusBar()->setObjectName(QStringLiteral("RecordStatusBar"));
    if (!catalogueProblem.isEmpty())
        statusBar()->showMessage(QStringLiteral("Der Katalog fehlt, es gibt keine Grenzwerte: %1").arg(catalogueProblem));

    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { updateTitle(); });
    connect(m_undo, &QUndoStack::indexChanged, this, [this] { writeRecovery(); });
    refresh();
    QSize size(1100, 760);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
}

TRecordForm::~TRecordForm()
{
    // No handler may run on a half-destroyed window.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
}

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
    SaveAsAction = add(file, "SaveAsAction", QStringLiteral("Speichern &unter…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                       &TRecordForm::saveAs);
    file->addSeparator();
    PreviewAction = add(file, "PreviewAction", QStringLiteral("Seiten&ansicht"), QKeySequence(), &TRecordForm::preview);
    PrintAction = add(file, "PrintAction", QStringLiteral("&Drucken…"), QKeySequence::Print, &TRecordForm::print);
    PdfAction = add(file, "PdfAction", QStringLiteral("Als &PDF speichern…"), QKeySequence(), &TRecordForm::saveAsPdf);
    file->addSeparator();
    CloseAction = add(file, "CloseAction", QStringLiteral("S&chließen"), QKeySequence(Qt::CTRL | Qt::Key_W), &QWidget::close);

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
    add(editMenu, "DuplicateWeldAction", QStringLiteral("Naht &duplizieren"), QKeySequence(), &TRecordForm::duplicateWeld);
    add(editMenu, "RemoveWeldAction", QStringLiteral("Naht &entfernen"), QKeySequence(), &TRecordForm::removeWeld);
    add(editMenu, "TakeOverAction", QStringLiteral("Naht aus &Hauptfenster übernehmen"), QKeySequence(),
        &TRecordForm::takeOverMainWindowWeld);
    editMenu->addSeparator();
    add(editMenu, "AddFindingAction", QStringLiteral("&Befund hinzufügen"), QKeySequence(Qt::CTRL | Qt::Key_Insert),
        &TRecordForm::addFinding);
    add(editMenu, "RemoveFindingAction", QStringLiteral("Befund ent&fernen"), QKeySequence(), &TRecordForm::removeFinding);
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
    scroll->setAccessibleName(kWindowTitle);
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
        {&OrderEdit, "OrderEdit", "Auftrag"},
        {&ComponentEdit, "ComponentEdit", "Bauteil"},
        {&DrawingEdit, "DrawingEdit", "Zeichnung"},
        {&StandardEdit, "StandardEdit", "Norm"},
        {&MethodEdit, "MethodEdit", "Prüfverfahren"},
        {&StageEdit, "StageEdit", "Prüfstufe"},
        {&InspectorEdit, "InspectorEdit", "Prüfer"},
        {&QualificationEdit, "QualificationEdit", "Qualifikation"},
        {&DateEdit, "DateEdit", "Prüfdatum"},
        {&PlaceEdit, "PlaceEdit", "Prüfort"},
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
        {QStringLiteral("Kennung:"), WeldIdEdit},   {QStringLiteral("Nahtart:"), SeamBox},
        {QStringLiteral("Bewertungsgruppe:"), LevelBox}, {QStringLiteral("t [mm]:"), TEdit},
        {QStringLiteral("l [mm]:"), LEdit},          {QStringLiteral("b [mm]:"), BEdit},
        {QStringLiteral("bw [mm]:"), BwEdit},        {QStringLiteral("Schweißer:"), WelderEdit},
        {QStringLiteral("Prozess:"), ProcessEdit},   {QStringLiteral("Lage:"), WeldLocationEdit},
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
    m_model = new FindingsModel(*this);
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
    RemoveFindingButton =
        button(findings, "RemoveFindingButton", QStringLiteral("Befund &entfernen"), QStringLiteral("Befund entfernen"));
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
    const QList<QWidget*> order = {OrderEdit,        ComponentEdit,     DrawingEdit,   StandardEdit,  MethodEdit,
                                   StageEdit,        InspectorEdit,     QualificationEdit, DateEdit,  PlaceEdit,
                                   RemarksEdit,      WeldList,          AddWeldButton, DuplicateWeldButton,
                                   RemoveWeldButton, TakeOverButton,    WeldIdEdit,    SeamBox,       LevelBox,
                                   TEdit,            LEdit,             BEdit,         BwEdit,        WelderEdit,
                                   ProcessEdit,      WeldLocationEdit,  WelderTestBox, RailBridgeBox, WeldRemarksEdit,
                                   FindingsView,     AddFindingButton,  RemoveFindingButton};
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
        {OrderEdit, &I::order},         {ComponentEdit, &I::component}, {DrawingEdit, &I::drawing},
        {StandardEdit, &I::standard},   {MethodEdit, &I::method},       {StageEdit, &I::stage},
        {InspectorEdit, &I::inspector}, {QualificationEdit, &I::qualification}, {PlaceEdit, &I::place},
        {RemarksEdit, &I::remarks},
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

bool TRecordForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter takes a field over and goes on to the next one.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (const auto it = m_commits.find(w); it != m_commits.end())
                it->second();
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->view()->isVisible())
                return false; // Enter chooses in the open list
            focusNextChild();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// State, verdicts and display

bool TRecordForm::isModified() const
{
    return !m_undo->isClean();
}

void TRecordForm::edit(const QString& what, const std::function<void(Record&)>& change, int weldAfter,
                       int findingAfter)
{
    if (m_checkOnly)
        return;
    Record after = m_record;
    change(after);
    if (sameRecord(after, m_record))
        return;
    const QModelIndex current = FindingsView->currentIndex();
    m_undo->push(new RecordEdit(*this, what, m_record, std::move(after), m_weld, weldAfter == -2 ? m_weld : weldAfter,
                                current.isValid() ? current.row() : -1,
                                findingAfter >= 0 ? findingAfter : (current.isValid() ? current.row() : -1)));
}

void TRecordForm::setState(const Record& r, int weld, int finding)
{
    const bool sameShape = weld == m_weld && m_weld >= 0 &&
                           m_weld < static_cast<int>(m_record.welds.size()) &&
                           weld < static_cast<int>(r.welds.size()) &&
                           r.welds[static_cast<std::size_t>(weld)].findings.size() ==
                               m_record.welds[static_cast<std::size_t>(m_weld)].findings.size();
    if (!sameShape) {
        m_badCells.clear();
    }
    m_record = r;
    m_weld = r.welds.empty() ? -1 : std::clamp(weld, 0, static_cast<int>(r.welds.size()) - 1);
    refresh();
    if (finding >= 0 && finding < m_model->rowCount()) {
        const QModelIndex current = FindingsView->currentIndex();
        if (!current.isValid() || current.row() != finding)
            FindingsView->setCurrentIndex(m_model->index(finding, current.isValid() ? current.column() : 0));
    }
}

void TRecordForm::showVerdict(QLabel* label, Verdict verdict, const QString& text)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, verdictBackground(verdict));
    p.setColor(QPalette::WindowText, verdictForeground(verdict));
    label->setPalette(p);
    label->setText(text);
    label->setAccessibleDescription(text);
}

void TRecordForm::refresh()
{
    m_refreshing = true;
    m_verdict = record::judgeRecord(m_record, *m_rows, ",");
    showVerdict(RecordVerdictLabel, m_verdict.verdict,
                QStringLiteral("Protokoll: %1 \u2013 %2").arg(verdictText(m_verdict.verdict), qs(m_verdict.reason)));

    const record::Inspection& h = m_record.inspection;
    auto set = [](QLineEdit* e, const QString& text) {
        if (!e->property("veltranoBad").toBool() && e->text() != text)
            e->setText(text);
    };
    set(OrderEdit, h.order ? qs(*h.order) : QString());
    set(ComponentEdit, h.component ? qs(*h.component) : QString());
    set(DrawingEdit, h.drawing ? qs(*h.drawing) : QString());
    set(StandardEdit, h.standard ? qs(*h.standard) : QString());
    set(MethodEdit, h.method ? qs(*h.method) : QString());
    set(StageEdit, h.stage ? qs(*h.stage) : QString());
    set(InspectorEdit, h.inspector ? qs(*h.inspector) : QString());
    set(QualificationEdit, h.qualification ? qs(*h.qualification) : QString());
    set(DateEdit, dateShown(h.date));
    set(PlaceEdit, h.place ? qs(*h.place) : QString());
    set(RemarksEdit, h.remarks ? qs(*h.remarks) : QString());

    // The items are kept while the number of welds stays, so moving
    // through the list with the arrow keys is not disturbed.
    if (WeldList->count() != static_cast<int>(m_record.welds.size())) {
        WeldList->clear();
        for (std::size_t k = 0; k < m_record.welds.size(); ++k)
            new QListWidgetItem(WeldList);
    }
    for (std::size_t k = 0; k < m_record.welds.size(); ++k) {
        const Verdict v = k < m_verdict.welds.size() ? m_verdict.welds[k].verdict : Verdict::Open;
        QListWidgetItem* item = WeldList->item(static_cast<int>(k));
        item->setText(QStringLiteral("%1 \u2013 %2").arg(qs(m_record.welds[k].id), verdictText(v)));
        item->setBackground(verdictBackground(v));
        item->setForeground(verdictForeground(v));
    }
    if (WeldList->currentRow() != m_weld)
        WeldList->setCurrentRow(m_weld);
    refreshWeldFields();
    m_model->update();
    m_refreshing = false;
    updateTitle();
}

void TRecordForm::refreshWeldFields()
{
    const bool has = m_weld >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{WeldIdEdit, SeamBox, LevelBox, TEdit, LEdit, BEdit, BwEdit,
                                                      WelderTestBox, RailBridgeBox, WelderEdit, ProcessEdit,
                                                      WeldLocationEdit, WeldRemarksEdit, FindingsView,
                                                      AddFindingButton, RemoveFindingButton, DuplicateWeldButton,
                                                      RemoveWeldButton})
        w->setEnabled(has);
    auto set = [](QLineEdit* e, const QString& text) {
        if (!e->property("veltranoBad").toBool() && e->text() != text)
            e->setText(text);
    };
    if (!has) {
        for (QLineEdit* e : {WeldIdEdit, TEdit, LEdit, BEdit, BwEdit, WelderEdit, ProcessEdit, WeldLocationEdit,
                             WeldRemarksEdit})
            set(e, {});
        showVerdict(WeldVerdictLabel, Verdict::Open, QStringLiteral("Keine Naht gewählt \u2013 mit »Neue Naht« eine anlegen"));
        return;
    }
    const Weld& w = m_record.welds[static_cast<std::size_t>(m_weld)];
    const record::WeldVerdict& wv = m_verdict.welds[static_cast<std::size_t>(m_weld)];
    showVerdict(WeldVerdictLabel, wv.verdict,
                QStringLiteral("Naht %1: %2 \u2013 %3").arg(qs(w.id), verdictText(wv.verdict), qs(wv.reason)));
    set(WeldIdEdit, qs(w.id));
    SeamBox->setCurrentIndex(w.seam == SeamType::Fillet ? 1 : 0);
    LevelBox->setCurrentIndex(static_cast<int>(w.level) - 1);
    set(TEdit, numberText(w.t));
    set(LEdit, numberText(w.l));
    set(BEdit, numberText(w.b));
    set(BwEdit, numberText(w.bw));
    WelderTestBox->setChecked(w.welderTest.value_or(false));
    RailBridgeBox->setChecked(w.railBridge.value_or(false));
    set(WelderEdit, w.welder ? qs(*w.welder) : QString());
    set(ProcessEdit, w.process ? qs(*w.process) : QString());
    set(WeldLocationEdit, w.location ? qs(*w.location) : QString());
    set(WeldRemarksEdit, w.remarks ? qs(*w.remarks) : QString());
    // A fillet weld is measured by its throat thickness a.
    TEdit->setAccessibleName(w.seam == SeamType::Fillet ? QStringLiteral("Kehlnahtdicke a in mm")
                                                        : QStringLiteral("Materialdicke t in mm"));
}

void TRecordForm::updateTitle()
{
    const QString name = m_file.isEmpty() ? QStringLiteral("Neues Protokoll") : QFileInfo(m_file).fileName();
    setWindowTitle(QStringLiteral("%1 \u2013 %2[*]").arg(kWindowTitle, name));
    setWindowModified(isModified());
}

// ---------------------------------------------------------------------------
// Entries

QString TRecordForm::problemOf(const Record& candidate) const
{
    try {
        record::validateRecord(candidate);
    } catch (const record::RecordError& e) {
        return qs(e.message());
    }
    return {};
}

void TRecordForm::markField(QWidget* field, const QString& reason)
{
    const bool bad = !reason.isEmpty();
    field->setProperty("veltranoBad", bad);
    field->setStyleSheet(bad ? QStringLiteral("background-color: #ffd6d6; border: 2px solid #b00000;") : QString());
    field->setToolTip(reason);
    field->setAccessibleDescription(reason);
    if (bad)
        statusBar()->showMessage(reason);
    else if (field->hasFocus())
        statusBar()->clearMessage();
}

void TRecordForm::commitHeaderField(QLineEdit* field, std::optional<std::string> record::Inspection::*member)
{
    const auto value = optionalText(field->text());
    markField(field, {});
    edit(QStringLiteral("Kopfdaten ändern"), [&](Record& r) { r.inspection.*member = value; });
}

void TRecordForm::commitDate()
{
    Record candidate = m_record;
    candidate.inspection.date = dateTyped(DateEdit->text());
    const QString problem = problemOf(candidate);
    markField(DateEdit, problem.isEmpty() ? QString() : QStringLiteral("Prüfdatum: %1").arg(problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Prüfdatum ändern"), [&](Record& r) { r = candidate; });
}

void TRecordForm::commitWeldText(QLineEdit* field, std::optional<std::string> Weld::*member)
{
    if (m_weld < 0)
        return;
    const auto value = optionalText(field->text());
    edit(QStringLiteral("Naht ändern"), [&](Record& r) { r.welds[static_cast<std::size_t>(m_weld)].*member = value; });
}

void TRecordForm::commitWeldId()
{
    if (m_weld < 0)
        return;
    Record candidate = m_record;
    candidate.welds[static_cast<std::size_t>(m_weld)].id = ss(WeldIdEdit->text().trimmed());
    const QString problem = problemOf(candidate);
    markField(WeldIdEdit, problem.isEmpty() ? QString() : QStringLiteral("Kennung: %1").arg(problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Kennung ändern"), [&](Record& r) { r = candidate; });
}

void TRecordForm::commitDimension(QLineEdit* field, WrittenNumber Weld::*member)
{
    if (m_weld < 0)
        return;
    Record candidate = m_record;
    Weld& w = candidate.welds[static_cast<std::size_t>(m_weld)];
    const WrittenNumber typed = typedNumber(field->text());
    // The same value written as before keeps its spelling in the file.
    if (typed.value() && (w.*member).value() && *typed.value() == *(w.*member).value()) {
        markField(field, {});
        return;
    }
    w.*member = typed;
    const QString problem = problemOf(candidate);
    markField(field, problem.isEmpty() ? QString()
                                       : QStringLiteral("%1: %2").arg(field->accessibleName(), problem));
    if (problem.isEmpty())
        edit(QStringLiteral("Maß ändern"), [&](Record& r) { r = candidate; });
}

std::vector<int> TRecordForm::offeredRows() const
{
    if (m_weld < 0)
        return {};
    return record::offeredRows(m_record.welds[static_cast<std::size_t>(m_weld)], *m_rows);
}

QString TRecordForm::rowTitle(int row) const
{
    return qs(record::rowTitle(row, *m_rows));
}

QString TRecordForm::badCell(int row, int column) const
{
    const auto it = m_badCells.find({m_weld, row, column});
    return it == m_badCells.end() ? QString() : it->second.text;
}

QString TRecordForm::badReason(int row, int column) const
{
    const auto it = m_badCells.find({m_weld, row, column});
    return it == m_badCells.end() ? QString() : it->second.reason;
}

bool TRecordForm::setFindingCell(int row, int column, const QString& text)
{
    if (m_weld < 0 || row < 0 || row >= static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size()))
        return false;
    Record candidate = m_record;
    Finding& f = candidate.welds[static_cast<std::size_t>(m_weld)].findings[static_cast<std::size_t>(row)];
    const QString t = text.trimmed();
    QString problem;
    switch (column) {
    case ColRow:
        // By the title offered, by the record number, by a reference number
        // or by a part of the name: the first row of this weld that fits.
        if (const int chosen = record::matchRow(ss(t), offeredRows(), *m_rows))
            f.record = chosen;
        else
            problem = QStringLiteral("Keine Katalogzeile für diese Naht passt zu »%1«").arg(t);
        break;
    case ColValue:
        f.value = typedNumber(t);
        break;
    case ColLength:
        f.length = t.isEmpty() ? std::nullopt : std::optional<WrittenNumber>(typedNumber(t));
        break;
    case ColLocation:
        f.location = optionalText(t);
        break;
    case ColRemark:
        f.remark = optionalText(t);
        break;
    case ColJudgement:
        f.judgement = t == verdictText(Verdict::Accepted)   ? Judgement::Accepted
                      : t == verdictText(Verdict::Rejected) ? Judgement::Rejected
                                                            : Judgement::None;
        break;
    default:
        return false;
    }
    if (problem.isEmpty())
        problem = problemOf(candidate);
    const std::tuple<int, int, int> key{m_weld, row, column};
    if (!problem.isEmpty()) {
        m_badCells[key] = {text, problem};
        statusBar()->showMessage(problem);
        m_model->update();
        return true;
    }
    m_badCells.erase(key);
    if (sameRecord(candidate, m_record))
        m_model->update();
    else
        edit(QStringLiteral("Befund ändern"), [&](Record& r) { r = candidate; });
    return true;
}

// ---------------------------------------------------------------------------
// Welds and findings

namespace {

std::string uniqueId(const Record& r, const std::string& stem)
{
    auto taken = [&](const std::string& id) {
        return std::any_of(r.welds.begin(), r.welds.end(), [&](const Weld& w) { return w.id == id; });
    };
    for (int n = 1;; ++n) {
        const std::string id = stem + std::to_string(n);
        if (!taken(id))
            return id;
    }
}

} // namespace

void TRecordForm::addWeld()
{
    Weld w;
    w.id = uniqueId(m_record, "N");
    w.seam = SeamType::Butt;
    w.level = QualityLevel::B;
    // The main window's starting weld.
    w.t = WrittenNumber{"10", false};
    w.l = WrittenNumber{"100", false};
    w.b = WrittenNumber{"12", false};
    w.bw = WrittenNumber{"2", false};
    const int index = static_cast<int>(m_record.welds.size());
    edit(QStringLiteral("Naht hinzufügen"), [&](Record& r) { r.welds.push_back(w); }, index);
    WeldIdEdit->setFocus();
    WeldIdEdit->selectAll();
}

void TRecordForm::duplicateWeld()
{
    if (m_weld < 0)
        return;
    Weld w = m_record.welds[static_cast<std::size_t>(m_weld)];
    w.id = uniqueId(m_record, w.id + "-");
    const int index = m_weld + 1;
    edit(QStringLiteral("Naht duplizieren"), [&](Record& r) { r.welds.insert(r.welds.begin() + index, w); }, index);
}

void TRecordForm::removeWeld()
{
    if (m_weld < 0)
        return;
    const int index = m_weld;
    edit(QStringLiteral("Naht entfernen"), [&](Record& r) { r.welds.erase(r.welds.begin() + index); },
         std::min(index, static_cast<int>(m_record.welds.size()) - 2));
}

void TRecordForm::takeOverMainWindowWeld()
{
    const std::optional<Weld> from = m_mainWindowWeld ? m_mainWindowWeld() : std::nullopt;
    if (!from) {
        QMessageBox::information(this, kWindowTitle,
                                 QStringLiteral("Im Hauptfenster ist keine Naht beschrieben: Nahtart und "
                                                "Bewertungsgruppe wählen."));
        return;
    }
    if (m_weld < 0) {
        Weld w = *from;
        w.id = uniqueId(m_record, "N");
        edit(QStringLiteral("Naht aus Hauptfenster übernehmen"), [&](Record& r) { r.welds.push_back(w); },
             static_cast<int>(m_record.welds.size()));
        return;
    }
    edit(QStringLiteral("Naht aus Hauptfenster übernehmen"), [&](Record& r) {
        Weld& w = r.welds[static_cast<std::size_t>(m_weld)];
        w.seam = from->seam;
        w.level = from->level;
        w.t = from->t;
        w.l = from->l;
        w.b = from->b;
        w.bw = from->bw;
        w.welderTest = from->welderTest;
        w.railBridge = from->railBridge;
    });
    for (QLineEdit* e : {TEdit, LEdit, BEdit, BwEdit})
        markField(e, {});
    refreshWeldFields();
}

void TRecordForm::addFinding()
{
    if (m_weld < 0)
        return;
    const std::vector<int> offered = offeredRows();
    Finding f;
    f.record = offered.empty() ? 1 : offered.front();
    f.value = WrittenNumber{"0", false};
    const int row = static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size());
    edit(QStringLiteral("Befund hinzufügen"),
         [&](Record& r) { r.welds[static_cast<std::size_t>(m_weld)].findings.push_back(f); }, m_weld, row);
    // The inspector goes on with the catalogue row of the new finding.
    const QModelIndex first = m_model->index(row, ColRow);
    FindingsView->setFocus();
    FindingsView->setCurrentIndex(first);
    FindingsView->edit(first);
}

void TRecordForm::removeFinding()
{
    if (m_weld < 0)
        return;
    const QModelIndex current = FindingsView->currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row();
    const int count = static_cast<int>(m_record.welds[static_cast<std::size_t>(m_weld)].findings.size());
    edit(QStringLiteral("Befund entfernen"), [&](Record& r) {
        auto& findings = r.welds[static_cast<std::size_t>(m_weld)].findings;
        findings.erase(findings.begin() + row);
    }, m_weld, std::min(row, count - 2));
    FindingsView->setFocus();
}

// ---------------------------------------------------------------------------
// Files

bool TRecordForm::maybeSave()
{
    if (!isModified())
        return true;
    QMessageBox box(QMessageBox::Question, kWindowTitle,
                    QStringLiteral("Das Prüfprotokoll »%1« wurde geändert.\nSollen die Änderungen gespeichert werden?")
                        .arg(m_file.isEmpty() ? QStringLiteral("Neues Protokoll") : QFileInfo(m_file).fileName()),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    QPushButton* saveButton = box.addButton(QStringLiteral("&Speichern"), QMessageBox::AcceptRole);
    QPushButton* discardButton = box.addButton(QStringLiteral("&Verwerfen"), QMessageBox::DestructiveRole);
    QPushButton* cancelButton = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    saveButton->setAccessibleName(QStringLiteral("Speichern"));
    discardButton->setAccessibleName(QStringLiteral("Verwerfen"));
    cancelButton->setAccessibleName(QStringLiteral("Abbrechen"));
    box.setDefaultButton(saveButton);
    box.setEscapeButton(cancelButton);
    box.exec();
    if (box.clickedButton() == saveButton)
        return save();
    return box.clickedButton() == discardButton;
}

void TRecordForm::setFile(const QString& file)
{
    m_file = file;
    updateTitle();
}

void TRecordForm::newRecord()
{
    if (!maybeSave())
        return;
    m_undo->clear();
    m_badCells.clear();
    m_record = Record{};
    m_weld = -1;
    m_stamp.reset();
    setFile({});
    refresh();
    discardRecovery();
}

void TRecordForm::openRecord()
{
    if (!maybeSave())
        return;
    const QString dir = m_file.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                         : QFileInfo(m_file).absolutePath();
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Prüfprotokoll öffnen"), dir,
                                                      QStringLiteral("Prüfprotokolle (*.vrec *.json);;Alle Dateien (*)"));
    if (!file.isEmpty())
        openFile(file);
}

bool TRecordForm::openFile(const QString& file)
{
    Record loaded;
    // Taken before reading: a change in between counts as a change.
    const std::filesystem::path path(file.toStdU16String());
    std::optional<record::FileStamp> stamp = record::stampFile(path);
    try {
        loaded = record::loadRecord(path);
    } catch (const record::RecordError& e) {
        QMessageBox::warning(this, kWindowTitle,
                             QStringLiteral("Das Prüfprotokoll kann nicht geöffnet werden.\n\n%1").arg(QString::fromUtf8(e.what())));
        return false;
    }
    m_undo->clear();
    m_badCells.clear();
    m_record = std::move(loaded);
    m_weld = m_record.welds.empty() ? -1 : 0;
    m_stamp = std::move(stamp);
    setFile(QFileInfo(file).absoluteFilePath());
    refresh();
    discardRecovery();
    return true;
}

bool TRecordForm::save()
{
    if (m_file.isEmpty())
        return saveAs();
    return saveTo(m_file);
}

QString TRecordForm::suggestedFileName() const
{
    const record::Inspection& h = m_record.inspection;
    QDate date = h.date ? QDate::fromString(qs(h.date->substr(0, 10)), Qt::ISODate) : QDate();
    if (!date.isValid())
        date = QDate::currentDate();
    const QString order = h.order ? fileNamePart(qs(*h.order)) : QStringLiteral("Pruefprotokoll");
    return QStringLiteral("%1_%2.vrec").arg(order, date.toString(Qt::ISODate));
}

bool TRecordForm::saveAs()
{
    const QString dir = m_file.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                         : QFileInfo(m_file).absolutePath();
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Prüfprotokoll speichern unter"),
                                                QDir(dir).filePath(suggestedFileName()),
                                                QStringLiteral("Prüfprotokolle (*.vrec)"));
    if (file.isEmpty())
        return false;
    // The desktop knows record files by this ending and opens them here.
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".vrec");
    return saveTo(file);
}

bool TRecordForm::saveTo(const QString& file)
{
    const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
    const bool badField = std::any_of(fields.begin(), fields.end(),
                                      [](const QLineEdit* e) { return e->property("veltranoBad").toBool(); });
    if (!m_badCells.empty() || badField) {
        QMessageBox::warning(this, kWindowTitle,
                             QStringLiteral("Einige Eingaben sind ungültig (rot markiert, der Grund steht im "
                                            "Tooltip). Bitte berichtigen; in der Befundtabelle setzt Esc eine "
                                            "Eingabe auf den letzten gültigen Wert zurück."));
        return false;
    }
    // Over the file that was loaded: not over another program's change.
    const std::optional<record::FileStamp> loaded =
        QFileInfo(file).absoluteFilePath() == m_file ? m_stamp : std::nullopt;
    for (auto mode = record::SaveMode::KeepOtherChanges;;) {
        try {
            m_stamp = record::saveRecord(m_record, std::filesystem::path(file.toStdU16String()), loaded, mode);
            break;
        } catch (const record::SaveError& e) {
            const RefusedSaveAnswer answer = askAboutRefusedSave(this, file, e);
            if (answer == RefusedSaveAnswer::SaveAs)
                return saveAs();
            if (answer == RefusedSaveAnswer::Cancel)
                return false;
            mode = record::SaveMode::Overwrite;
        } catch (const std::exception& e) {
            QMessageBox::warning(this, kWindowTitle,
                                 QStringLiteral("Das Prüfprotokoll kann nicht gespeichert werden.\n\n%1")
                                     .arg(QString::fromUtf8(e.what())));
            return false;
        }
    }
    m_undo->setClean();
    setFile(QFileInfo(file).absoluteFilePath());
    discardRecovery();
    statusBar()->showMessage(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(m_file)), 5000);
    return true;
}

void TRecordForm::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    discardRecovery();
    event->accept();
}

// ---------------------------------------------------------------------------
// Recovery copy

QString TRecordForm::recoveryFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Pruefprotokoll-Wiederherstellung.json"));
}

bool TRecordForm::recoveryAvailable()
{
    return QFileInfo::exists(recoveryFile()) || !earlierRecoveryCopies(recoveryFile()).isEmpty();
}

void TRecordForm::discardRecovery()
{
    removeRecoveryCopy(recoveryFile());
}

void TRecordForm::writeRecovery()
{
    if (!isModified()) {
        discardRecovery();
        return;
    }
    QDir().mkpath(QFileInfo(recoveryFile()).absolutePath());
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return false;
        out.write(bytes);
        return out.commit();
    };
    // A copy that cannot be written costs only the copy; the work itself is
    // still in the window.
    if (write(recoveryFile(), QByteArray::fromStdString(record::serializeRecord(m_record))))
        writeRecoveryNote(recoveryFile(), m_file, m_stamp);
}

bool TRecordForm::restoreRecovery(QString* error, const QString& copy)
{
    const QString source = copy.isEmpty() ? recoveryFile() : copy;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QDir::toNativeSeparators(source) + QStringLiteral(": lässt sich nicht öffnen");
        return false;
    }
    Record restored;
    try {
        restored = record::parseRecord(in.readAll().toStdString(), ss(source));
    } catch (const record::RecordError& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    const RecoveryCopy note = readRecoveryNote(source);
    m_undo->clear();
    m_record = std::move(restored);
    m_weld = m_record.welds.empty() ? -1 : 0;
    m_stamp = note.stamp;
    setFile(note.file);
    // The restored work is not saved yet: it stays unsaved until it is.
    m_undo->resetClean();
    refresh();
    writeRecovery();
    if (source != recoveryFile())
        removeRecoveryCopy(source);
    return true;
}

// ---------------------------------------------------------------------------
// Printing

QString TRecordForm::catalogueSha256() const
{
    return qs(recordprint::fileSha256(m_catalogue.file()));
}

std::vector<recordprint::PrintPage> TRecordForm::printPages() const
{
    recordprint::RecordPrintInfo info;
    info.programVersion = recordprint::programVersion();
    info.catalogueSha256 = catalogueSha256();
    info.printed = QDateTime::currentDateTime();
    info.fileName = m_file.isEmpty() ? QString() : QDir::toNativeSeparators(m_file);
    return recordprint::layoutRecord(m_record, m_verdict, *m_rows, info);
}

void TRecordForm::preview()
{
    QPrintPreviewDialog dialog(m_printer.get(), this);
    dialog.setWindowTitle(QStringLiteral("Seitenansicht \u2013 Prüfprotokoll"));
    const auto pages = printPages();
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&pages, this](QPrinter* printer) {
        QString error;
        if (!recordprint::printRecord(*printer, pages, &error))
            QMessageBox::warning(this, kWindowTitle, error);
    });
    dialog.resize(size());
    dialog.exec();
}

void TRecordForm::print()
{
    QPrintDialog dialog(m_printer.get(), this);
    const auto pages = printPages();
    dialog.setMinMax(1, static_cast<int>(pages.size()));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!recordprint::printRecord(*m_printer, pages, &error))
        QMessageBox::warning(this, kWindowTitle, error);
}

void TRecordForm::saveAsPdf()
{
    const QString base = m_file.isEmpty() ? QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                                .filePath(suggestedFileName())
                                          : m_file;
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Als PDF speichern"),
                                                QFileInfo(base).absolutePath() + QLatin1Char('/') +
                                                    QFileInfo(base).completeBaseName() + QStringLiteral(".pdf"),
                                                QStringLiteral("PDF-Dateien (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    QString error;
    if (!recordprint::writeRecordPdf(file, m_record, m_verdict, *m_rows, ss(catalogueSha256()), &error))
        QMessageBox::warning(this, kWindowTitle, error);
}

// ---------------------------------------------------------------------------
// The one record window of the program

namespace {

QPointer<TRecordForm>& openRecordWindow()
{
    static QPointer<TRecordForm> window;
    return window;
}

} // namespace

TRecordForm* showRecordWindow(QObject& owner, const std::filesystem::path& catalogueFile,
                              TRecordForm::WeldSource mainWindowWeld, const QString& file)
{
    QPointer<TRecordForm>& window = openRecordWindow();
    // A window closed a moment ago is on its way out: a new one is made.
    if (window && !window->isVisible())
        window = nullptr;
    if (!window) {
        // A window of its own, not a child of the main window: closing the
        // main window leaves it open with its unsaved work, and the program
        // ends once both are closed.
        window = new TRecordForm(catalogueFile, std::move(mainWindowWeld));
        QObject::connect(&owner, &QObject::destroyed, window, &QObject::deleteLater);
    }
    if (!file.isEmpty() && window->maybeSave())
        window->openFile(file);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void offerRecordRecovery(QWidget& parent, const std::function<TRecordForm*()>& showWindow)
{
    for (const QString& copy : recoveryCopiesOfEarlierRuns(TRecordForm::recoveryFile())) {
        const RecoveryAnswer answer = askAboutRecovery(&parent, readRecoveryNote(copy));
        if (answer == RecoveryAnswer::Later)
            return;
        if (answer == RecoveryAnswer::Discard) {
            removeRecoveryCopy(copy);
            continue;
        }
        TRecordForm* window = showWindow();
        QString error;
        if (!window->restoreRecovery(&error, copy)) {
            QMessageBox::warning(window, kWindowTitle,
                                 QStringLiteral("Die Sicherung kann nicht gelesen werden.\n\n%1").arg(error));
            removeRecoveryCopy(copy);
        }
        return;
    }
}

} // namespace veltrano
