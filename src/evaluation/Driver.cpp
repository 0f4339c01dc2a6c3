#include "Driver.h"

#include "LimitText.h"
#include "Rules.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace veltrano {

LimitDriver::LimitDriver(EvaluationState& state, RecordCursor& cursor, LimitField& limitField, WeldSource& weld,
                         ResultDisplay& display, StatusPanel& status, std::string decimalSeparator)
    : m_state(state)
    , m_cursor(cursor)
    , m_limitField(limitField)
    , m_weld(weld)
    , m_display(display)
    , m_status(status)
    , m_decimalSeparator(std::move(decimalSeparator))
{
}

void LimitDriver::CalcLimit()
{
    const std::string limitText = m_limitField.text();
    m_display.setCaption(std::string());

    std::string result;
    if (containsZulaessig(limitText)) {
        // The catalogue's own verdict ("nicht zulässig", "zulässig, wenn ...")
        // settles the record; no rule runs.
        result = limitText;
    } else {
        const WeldInput weld = m_weld.weld();
        const int rec = m_state.iRecNo;
        bool consult = false;
        switch (m_state.iGroup) {
        case static_cast<int>(QualityLevel::D):
            consult = rec >= 3 && rec <= 89;
            break;
        case static_cast<int>(QualityLevel::C):
            consult = rec >= 0 && rec <= 89;
            break;
        case static_cast<int>(QualityLevel::B):
            consult = rec >= 13 && rec <= 89;
            break;
        default:
            break;
        }
        if (consult) {
            const auto evaluation = rules::evaluate(static_cast<QualityLevel>(m_state.iGroup), rec, weld);
            result = rules::text(evaluation, limitText, m_decimalSeparator);
        }
    }

    m_display.setCaption(result);
    if (EvaluationState::inCache(m_state.iRecNo))
        m_state.aResult[static_cast<std::size_t>(m_state.iRecNo)] = std::move(result);
}

void LimitDriver::ClearResults()
{
    m_cursor.First(); // notifies: record 1 is evaluated and shown
    const int last = std::min(m_state.iRecCount, EvaluationState::kCacheSize - 1);
    for (int i = 1; i <= last; ++i)
        m_state.aResult[static_cast<std::size_t>(i)].clear();
}

void LimitDriver::DataSource1DataChange()
{
    m_state.iRecNo = m_cursor.RecNo();
    m_status.setPanelText(1, recordPositionText(m_state.iRecNo, m_state.iRecCount));

    const std::string boundField = m_limitField.dataField();
    // A welder's test piece is judged on the level-C limit for the
    // reinforcement and throat records, whatever level is chosen.
    if (usesWelderTestSubstitution(m_state.iRecNo) && m_weld.weld().welderTest)
        m_limitField.setDataField(limitColumn(QualityLevel::C));
    CalcLimit();
    m_limitField.setDataField(boundField);
}

std::string recordPositionText(int recNo, int recCount)
{
    char buf[48] = "DSNr: ";
    char* p = std::to_chars(buf + 6, buf + sizeof buf, recNo).ptr;
    for (const char c : std::string_view("  von "))
        *p++ = c;
    p = std::to_chars(p, buf + sizeof buf, recCount).ptr;
    return std::string(buf, p);
}

} // namespace veltrano
