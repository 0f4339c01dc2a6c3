#pragma once
// The rows of the catalogue as the grid DBGrid1 shows them: six columns
// titled with their field names, read only.  The row indicator in the
// vertical header marks the catalogue's current row.

#include "Catalogue.h"

#include <QAbstractTableModel>

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
    // Moves the row indicator to this 0-based row (-1: none).
    void setCurrentRow(int row);
    // Lets go of the catalogue before it is destroyed.
    void detach();

private:
    const Catalogue* m_catalogue;
    int m_rowCount = 0;
    int m_currentRow = -1;
};

} // namespace veltrano
