#pragma once
// Evaluates a whole weld without a window: the catalogue, the driver and the
// recalculation walk wired together exactly as the main window wires them, so
// the results equal the result cache after "Neu-Berechnung".

#include "catalogue/Catalogue.h"
#include "evaluation/Driver.h"

#include <string>
#include <vector>

namespace veltrano {

class Recalculation {
public:
    // Opens the catalogue file (throws CatalogueError with the reason).
    Recalculation(const std::filesystem::path& catalogueFile, std::string decimalSeparator);

    // Evaluates every record for this weld at this level; returns the texts
    // of records 1 to RecordCount(), in record order.
    std::vector<std::string> run(const WeldInput& weld, QualityLevel level);

    // The same pass, leaving the texts in state().aResult[1..RecordCount()]
    // (no copy: the batch mode answers thousands of welds a second).
    void evaluate(const WeldInput& weld, QualityLevel level);

    const Catalogue& catalogue() const { return m_catalogue; }
    Catalogue& catalogue() { return m_catalogue; }
    const EvaluationState& state() const { return m_state; }

private:
    struct Weld : WeldSource {
        WeldInput input;
        WeldInput weld() const override { return input; }
    };
    // Without a window nobody reads the caption under "für diese Naht :" or
    // the status bar: the results are in the cache.
    struct Display : ResultDisplay {
        void setCaption(const std::string&) override {}
    };
    struct Status : StatusPanel {
        void setPanelText(int, const std::string&) override {}
        void showRecordPosition(int, int) override {}
    };

    Catalogue m_catalogue;
    EvaluationState m_state;
    CatalogueLimitField m_limitField;
    Weld m_weld;
    Display m_display;
    Status m_status;
    LimitDriver m_driver;
};

} // namespace veltrano
