#include "recordwindow/FindingsTable.h"

#include "recordwindow/VerdictLook.h"

#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace veltrano {

using namespace findings;

using record::Finding;
using record::FindingVerdict;
using record::Judgement;
using record::Weld;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

const char* const kColumnTitles[ColumnCount] = {"Katalogzeile", "Messwert",  "Länge [mm]",
                                                "Ort",          "Bemerkung", "Urteil des Prüfers",
                                                "Grenzwert",    "Ergebnis",  "Begründung"};

} // namespace

QString findingsColumnTitle(int column)
{
    return column >= 0 && column < ColumnCount ? QString::fromUtf8(kColumnTitles[column]) : QString();
}

QString numberText(const record::WrittenNumber& n)
{
    const auto v = n.value();
    return v ? qs(v->text(",")) : qs(n.text);
}

// ---------------------------------------------------------------------------
// The model

FindingsModel::FindingsModel(FindingsSource& source, QObject* parent)
    : QAbstractTableModel(parent)
    , m_source(source)
{
}

void FindingsModel::update()
{
    const Weld* w = m_source.shownWeld();
    const int rows = w ? static_cast<int>(w->findings.size()) : 0;
    if (rows != m_rows || m_source.shownWeldIndex() != m_shownWeld) {
        beginResetModel();
        m_rows = rows;
        m_shownWeld = m_source.shownWeldIndex();
        endResetModel();
    } else if (rows > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return findingsColumnTitle(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags FindingsModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() <= kLastEditable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const
{
    const Weld* w = m_source.shownWeld();
    if (!w || index.row() >= static_cast<int>(w->findings.size()))
        return {};
    const Finding& f = w->findings[static_cast<std::size_t>(index.row())];
    const FindingVerdict* v = m_source.findingVerdict(index.row());
    const QString bad = m_source.badCell(index.row(), index.column());
    const bool isBad = !m_source.badReason(index.row(), index.column()).isEmpty();

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
            QFont font = m_source.tableFont();
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::ToolTipRole:
        if (isBad)
            return m_source.badReason(index.row(), index.column());
        if (v && index.column() >= ColLimit)
            return qs(v->reason);
        return {};
    default:
        return {};
    }
}

bool FindingsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    return m_source.setFindingCell(index.row(), index.column(), value.toString());
}

QString FindingsModel::text(const Finding& f, const FindingVerdict* v, int column, bool forEditing) const
{
    switch (column) {
    case ColRow:
        return m_source.rowTitle(f.record);
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

// ---------------------------------------------------------------------------
// The editors

FindingsDelegate::FindingsDelegate(const FindingsSource& source, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_source(source)
{
}

QWidget* FindingsDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    const QString name = findingsColumnTitle(index.column());
    if (index.column() == ColJudgement) {
        auto* box = new QComboBox(parent);
        box->addItems(
            {judgementText(Judgement::None), judgementText(Judgement::Accepted), judgementText(Judgement::Rejected)});
        box->setAccessibleName(name);
        return box;
    }
    QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
    w->setAccessibleName(name);
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && index.column() == ColRow) {
        // The rows that can belong to this weld, found by number,
        // reference number or any part of the name.
        QStringList titles;
        for (int row : m_source.offeredRows())
            titles << m_source.rowTitle(row);
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
        QObject::connect(
            completer, qOverload<const QString&>(&QCompleter::activated), edit,
            [self, edit](const QString& title) {
                if (!edit->isVisible())
                    return; // already taken over and closed
                edit->setText(title);
                emit self->commitData(edit);
                emit self->closeEditor(edit, QAbstractItemDelegate::EditNextItem);
            },
            Qt::QueuedConnection);
    }
    return w;
}

void FindingsDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(std::max(0, box->findText(index.data(Qt::EditRole).toString())));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        edit->selectAll();
}

void FindingsDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool FindingsDelegate::eventFilter(QObject* object, QEvent* event)
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

// ---------------------------------------------------------------------------
// The view

void FindingsTable::keyPressEvent(QKeyEvent* event)
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

void FindingsTable::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    moveOn(hint == QAbstractItemDelegate::EditNextItem ? 1 : -1);
}

void FindingsTable::moveOn(int step)
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

} // namespace veltrano
