#include "evaluation/Driver.h"

#include "evaluation/LimitText.h"
#include "evaluation/Rules.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
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

LimitTextRef LimitField::limit() const
{
    const std::string& t = text();
    return {t, containsZulaessig(t)};
}

void StatusPanel::showRecordPosition(int recNo, int recCount)
{
    setPanelText(1, recordPositionText(recNo, recCount));
}

void LimitDriver::CalcLimit()
{
    static const std::string kNoCaption;
    const LimitTextRef limit = m_limitField.limit();
    m_display.setCaption(kNoCaption);

    // The result is written straight into its place in the cache, whose
    // strings keep their storage from pass to pass.
    std::string& result = EvaluationState::inCache(m_state.iRecNo)
                              ? m_state.aResult[static_cast<std::size_t>(m_state.iRecNo)]
                              : m_uncached;
    if (limit.verdict) {
        // The catalogue's own verdict ("nicht zulässig", "zulässig, wenn ...")
        // settles the record; no rule runs.
        result.assign(limit.text);
    } else {
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
            if (m_weldValues.set(m_weld.weld())) {
                for (StepText& known : m_stepTexts)
                    known.step = nullptr;
            }
            const rules::Step* step =
                rules::decidingStep(static_cast<QualityLevel>(m_state.iGroup), rec, m_weldValues.input());
            if (!step)
                result.clear();
            else
                assignRuleText(result, *step, limit.text);
        } else {
            result.clear();
        }
    }
    m_display.setCaption(result);
}

void LimitDriver::assignRuleText(std::string& result, const rules::Step& step, const std::string& catalogueText)
{
    const rules::Outcome outcome = step.then.outcome;
    if (outcome != rules::Outcome::Mm && outcome != rules::Outcome::Mm2) {
        rules::assignText(result, rules::Evaluation{outcome, {}}, catalogueText, m_decimalSeparator);
        return;
    }
    const auto slot = (reinterpret_cast<std::uintptr_t>(&step) / sizeof(rules::Step)) % m_stepTexts.size();
    StepText& known = m_stepTexts[slot];
    if (known.step != &step) {
        // A failing formula leaves the record's cached text as it was.
        const rules::Evaluation evaluation{outcome, rules::value(step.then.formula, m_weldValues)};
        known.step = nullptr;
        rules::assignText(known.text, evaluation, {}, m_decimalSeparator);
        known.step = &step;
    }
    result.assign(known.text);
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
    m_status.showRecordPosition(m_state.iRecNo, m_state.iRecCount);

    // A welder's test piece is judged on the level-C limit for the
    // reinforcement and throat records, whatever level is chosen.
    if (usesWelderTestSubstitution(m_state.iRecNo) && m_weld.weld().welderTest) {
        const std::string boundField = m_limitField.dataField();
        m_limitField.setDataField(limitColumn(QualityLevel::C));
        CalcLimit();
        m_limitField.setDataField(boundField);
    } else {
        CalcLimit();
    }
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
