#include "window/CatalogueModel.h"

#include "evaluation/CatalogueFields.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPolygon>

namespace veltrano {

CatalogueModel::CatalogueModel(const Catalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent)
    , m_catalogue(&catalogue)
{
    m_rowCount = catalogue.Active() ? catalogue.RecordCount() : 0;
}

const std::vector<std::string>& CatalogueModel::columnFields()
{
    static const std::vector<std::string> fields = {
        field::kImperfection, field::kReference, field::kRemarks, field::kLevelD, field::kLevelC, field::kLevelB,
    };
    return fields;
}

int CatalogueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int CatalogueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columnFields().size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!m_catalogue || !index.isValid() || index.column() >= columnCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    QString text = QString::fromStdString(
        m_catalogue->FieldText(index.row(), columnFields()[static_cast<std::size_t>(index.column())]));
    if (role == Qt::DisplayRole)
        text.replace(QLatin1Char('\n'), QLatin1Char(' ')); // one line per grid row
    return text;
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        return QString::fromStdString(columnFields()[static_cast<std::size_t>(section)]);
    }
    return QString(); // the row indicator draws itself
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void CatalogueModel::sync()
{
    const int rows = m_catalogue && m_catalogue->Active() ? m_catalogue->RecordCount() : 0;
    // The rows are read in full when the catalogue opens, so a reset is only
    // needed when it opened or closed.
    beginResetModel();
    m_rowCount = rows;
    endResetModel();
}

void CatalogueModel::detach()
{
    beginResetModel();
    m_catalogue = nullptr;
    m_rowCount = 0;
    endResetModel();
}

RowIndicatorHeader::RowIndicatorHeader(QWidget* parent)
    : QHeaderView(Qt::Vertical, parent)
{
    setSectionResizeMode(QHeaderView::Fixed);
    setHighlightSections(false);
}

void RowIndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const auto* view = qobject_cast<const QAbstractItemView*>(parentWidget());
    if (!view || view->currentIndex().row() != logicalIndex)
        return;
    const int h = std::min(rect.height(), rect.width()) / 2;
    const QPoint c = rect.center();
    const QPolygon triangle({QPoint(c.x() - h / 2, c.y() - h / 2 - 1), QPoint(c.x() - h / 2, c.y() + h / 2 + 1),
                             QPoint(c.x() + h / 2 + 1, c.y())});
    painter->save();
    painter->setClipRect(rect); // the base class leaves its own clip behind
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::black);
    painter->drawPolygon(triangle);
    painter->restore();
}

} // namespace veltrano
