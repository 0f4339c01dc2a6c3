#pragma once
// The evaluation driver: one catalogue record at a time.
//
// A row change of the catalogue reaches DataSource1DataChange, which records
// the row's number, shows the position in the status bar and runs CalcLimit.
// CalcLimit either takes over the catalogue's limit text (when it already is
// the verdict: it contains "zulässig") or applies the rule of the current
// quality level, shows the result under "für diese Naht :" and keeps it in
// the result cache aResult under the record number.
//
// The driver knows the window only through the small interfaces below, so the
// window, the command-line tool and the tests all run this same code.

#include "evaluation/Rules.h"
#include "evaluation/WeldInput.h"

#include <array>
#include <string>
#include <string_view>

namespace veltrano {

// Program-wide evaluation state; one instance lives for the whole run.
struct EvaluationState {
    static constexpr int kCacheSize = 91;

    int iGroup = 0;    // QualityLevel code: 1 = B, 2 = C, 3 = D
    int iRecNo = 0;    // current record number, 1-based
    int iRecCount = 0; // number of catalogue records
    // Entries 1 to 90: the result text of that record since the cache was last
    // emptied.  Entry 0: the status hint saved while a weld input has the
    // focus.  Entry 2 also tells that the main window has been set up.
    std::array<std::string, kCacheSize> aResult{};
    bool bButtWeld = false;
    bool bNoDatabase = false;

    static constexpr bool inCache(int recNo) { return recNo >= 0 && recNo < kCacheSize; }
};

// A limit text as the driver reads it, with whether it already is the
// verdict (it contains "zulässig"; see containsZulaessig).
struct LimitTextRef {
    const std::string& text;
    bool verdict = false;
};

// The limit field (DBEdit5): shows one limit column of the current record.
class LimitField {
public:
    virtual ~LimitField() = default;
    // The text of the bound column in the current record; it stays valid
    // until the record or the binding changes.
    virtual const std::string& text() const = 0;
    // The same text and whether it is a verdict.  A field over the catalogue
    // answers from the catalogue, which tells each text once when it opens.
    virtual LimitTextRef limit() const;
    virtual std::string dataField() const = 0;
    virtual void setDataField(const std::string& column) = 0;
};

// The result display under "für diese Naht :" (StaticText2).
class ResultDisplay {
public:
    virtual ~ResultDisplay() = default;
    virtual void setCaption(const std::string& text) = 0;
};

// The status bar's record position panel.
class StatusPanel {
public:
    virtual ~StatusPanel() = default;
    virtual void setPanelText(int panel, const std::string& text) = 0;
    // "DSNr: 12  von 89" in panel 1; a status without a window, which nobody
    // reads, leaves the text unwritten.
    virtual void showRecordPosition(int recNo, int recCount);
};

// The weld inputs as they stand at this moment.
class WeldSource {
public:
    virtual ~WeldSource() = default;
    virtual WeldInput weld() const = 0;
};

// What the driver needs of the catalogue's cursor.
class RecordCursor {
public:
    virtual ~RecordCursor() = default;
    virtual int RecNo() const = 0;
    virtual void First() = 0; // notifies a data change, also when row 1 was current
};

class LimitDriver {
public:
    LimitDriver(EvaluationState& state, RecordCursor& cursor, LimitField& limitField, WeldSource& weld,
                ResultDisplay& display, StatusPanel& status, std::string decimalSeparator);

    void CalcLimit();
    void ClearResults();
    void DataSource1DataChange();

    const std::string& decimalSeparator() const { return m_decimalSeparator; }

private:
    EvaluationState& m_state;
    RecordCursor& m_cursor;
    LimitField& m_limitField;
    WeldSource& m_weld;
    ResultDisplay& m_display;
    StatusPanel& m_status;
    std::string m_decimalSeparator;
    void assignRuleText(std::string& result, const rules::Step& step, const std::string& catalogueText);

    rules::WeldValues m_weldValues; // the weld of the last evaluation, its dimensions converted
    // The limit texts of the rule steps worked out for these dimensions: the
    // records that share a rule (records 57 to 66 at level B, for instance)
    // take its text without computing and formatting it again.
    struct StepText {
        const rules::Step* step = nullptr;
        std::string text;
    };
    std::array<StepText, 64> m_stepTexts{};
    std::string m_uncached; // the result of a record beyond the cache
};

// "DSNr: 12  von 89"
std::string recordPositionText(int recNo, int recCount);

// True for the records whose welder-test limits are judged on the level-C text.
constexpr bool usesWelderTestSubstitution(int recNo)
{
    return (recNo >= 16 && recNo <= 19) || recNo == 33;
}

} // namespace veltrano
