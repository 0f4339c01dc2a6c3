#pragma once
// The catalogue texts that the verdicts read: the limit columns hochB, mittelC
// and niedrigD, and for the printed check OrdnungsNr and Unregelmäßigkeit.
// The record core sees the catalogue only through this interface, so it
// needs no database; the tool and the window hand over the real catalogue
// with CatalogueRowsOf, the tests a few rows of their own.

#include <string>
#include <string_view>

namespace veltrano::record {

class CatalogueRows {
public:
    virtual ~CatalogueRows() = default;
    virtual int rowCount() const = 0;
    // The text of a field of a record (1-based); empty for an unknown field.
    virtual std::string text(int record, std::string_view field) const = 0;
};

// Any catalogue with RecordCount() and FieldText(row0, field), such as the
// opened Catalogue of src/catalogue.
template <typename Catalogue>
class CatalogueRowsOf : public CatalogueRows {
public:
    explicit CatalogueRowsOf(const Catalogue& catalogue) : m_catalogue(catalogue) {}
    int rowCount() const override { return m_catalogue.RecordCount(); }
    std::string text(int record, std::string_view field) const override
    {
        return m_catalogue.FieldText(record - 1, std::string(field));
    }

private:
    const Catalogue& m_catalogue;
};

} // namespace veltrano::record
