#pragma once
// The rows of the catalogue as the grid DBGrid1 shows them: six columns
// titled with their field names, read only.

#include "catalogue/Catalogue.h"

#include <QAbstractTableModel>
#include <QHeaderView>

namespace veltrano {

class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CatalogueModel(const Catalogue& catalogue, QObject* parent = nullptr);

    // The grid's columns: Unregelmäßigkeit, OrdnungsNr, Bemerkungen,
    // niedrigD, mittelC, hochB.
    static const std::vector<std::string>& columnFields();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Takes up the catalogue's rows again after it was opened or closed.
    void sync();
    // Lets go of the catalogue before it is destroyed.
    void detach();

private:
    const Catalogue* m_catalogue;
    int m_rowCount = 0;
};

// The grid's row indicator: a narrow vertical header that marks the view's
// current row with a black triangle.
class RowIndicatorHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit RowIndicatorHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace veltrano
