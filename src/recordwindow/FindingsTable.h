#pragma once
// The findings table of the record window: the model of the selected
// weld's findings with their exact limits and verdicts, the editors of its
// entries and the view that walks them from the keyboard.  The model reads
// the record window through the small FindingsSource interface.

#include "record/Record.h"
#include "record/Verdict.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QString>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <vector>

namespace veltrano {

// The columns of the table; the inspector fills those up to the judgement,
// the program the rest.
namespace findings {
enum Column {
    ColRow,
    ColValue,
    ColLength,
    ColLocation,
    ColRemark,
    ColJudgement,
    ColLimit,
    ColVerdict,
    ColReason,
    ColumnCount
};
constexpr int kLastEditable = ColJudgement;
} // namespace findings

// The column titles, also the accessible names of the editors.
QString findingsColumnTitle(int column);

// A dimension or a measured value as the window shows it: the exact decimal
// with a comma, or the text that is no number.
QString numberText(const record::WrittenNumber& n);

// What the table shows and where its entries go.
class FindingsSource {
public:
    virtual ~FindingsSource() = default;
    // The weld whose findings are shown and its place in the record; null
    // and -1 while no weld is selected.
    virtual const record::Weld* shownWeld() const = 0;
    virtual int shownWeldIndex() const = 0;
    // The verdict of a finding of that weld; null when there is none.
    virtual const record::FindingVerdict* findingVerdict(int row) const = 0;
    // A refused entry and its reason; empty when the cell holds none.
    virtual QString badCell(int row, int column) const = 0;
    virtual QString badReason(int row, int column) const = 0;
    // The catalogue rows that can belong to the weld, and their titles.
    virtual std::vector<int> offeredRows() const = 0;
    virtual QString rowTitle(int row) const = 0;
    // Takes an entry over, or keeps it refused with its reason; false when
    // the cell takes no entry.
    virtual bool setFindingCell(int row, int column, const QString& text) = 0;
    // The font from which the table's bold verdicts are made.
    virtual QFont tableFont() const = 0;
};

class FindingsModel : public QAbstractTableModel {
public:
    FindingsModel(FindingsSource& source, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : findings::ColumnCount;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // After every change of the record: a new shape resets the view, an
    // edit of a value only repaints it, so an open editor chain stays.
    void update();

private:
    QString text(const record::Finding& f, const record::FindingVerdict* v, int column, bool forEditing) const;

    FindingsSource& m_source;
    int m_rows = 0;
    int m_shownWeld = -2;
};

// Editors of the findings table.  Enter takes the entry over and goes on to
// the next field, as Tab does.
class FindingsDelegate : public QStyledItemDelegate {
public:
    FindingsDelegate(const FindingsSource& source, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    const FindingsSource& m_source;
};

// The view: Del removes a finding, Ins adds one, Esc brings a refused entry's
// last valid value back; Enter and Tab go through the entries in their order.
class FindingsTable : public QTableView {
public:
    using QTableView::QTableView;

    std::function<void()> onDelete;
    std::function<void()> onInsert;
    std::function<void()> onRevert;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Enter and Tab in an editor go on to the next field of the finding, and
    // from its last field to the first of the next finding.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void moveOn(int step);
};

} // namespace veltrano
