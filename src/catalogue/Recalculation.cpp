#include "catalogue/Recalculation.h"

namespace veltrano {

Recalculation::Recalculation(const std::filesystem::path& catalogueFile, std::string decimalSeparator)
    : m_catalogue(catalogueFile)
    , m_limitField(m_catalogue, limitColumn(QualityLevel::B))
    , m_driver(m_state, m_catalogue, m_limitField, m_weld, m_display, m_status, std::move(decimalSeparator))
{
    m_state.iGroup = static_cast<int>(QualityLevel::B);
    m_catalogue.setDataChangeHandler([this] { m_driver.DataSource1DataChange(); });
    m_catalogue.Open();
    m_state.iRecCount = m_catalogue.RecordCount();
}

void Recalculation::evaluate(const WeldInput& weld, QualityLevel level)
{
    m_weld.input = weld;
    m_state.iGroup = static_cast<int>(level);
    m_limitField.setDataField(limitColumn(level));
    m_driver.ClearResults();
    WalkAllRows(m_catalogue);
}

std::vector<std::string> Recalculation::run(const WeldInput& weld, QualityLevel level)
{
    evaluate(weld, level);
    return {m_state.aResult.begin() + 1, m_state.aResult.begin() + 1 + m_state.iRecCount};
}

} // namespace veltrano
