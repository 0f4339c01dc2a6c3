#pragma once
// The main window's parts as the evaluation driver sees them (the limit
// field, the result under "für diese Naht :", the status bar's record
// position and the weld inputs), and the quiet recalculation walk.  Included
// by ENUnit3.cpp only.

#include "window/ENUnit3.h"
#include "window/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <array>
#include <string>
#include <utility>

namespace veltrano {
namespace form3 {

inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Shows a field's text from its beginning, as a data-bound edit does.
inline void setFieldText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace form3

// ---------------------------------------------------------------------------
// The window's parts as the driver sees them.

// DBEdit5: shows the limit column it is bound to; the driver may bind it to
// another column for the length of one evaluation.
class TForm3::LimitFieldLink : public LimitField {
public:
    LimitFieldLink(const Catalogue& catalogue, QLineEdit* edit)
        : m_catalogue(catalogue)
        , m_edit(edit)
    {
    }
    const std::string& text() const override { return m_catalogue.FieldRefAt(m_catalogue.CurrentRow(), m_index); }
    LimitTextRef limit() const override
    {
        const int row = m_catalogue.CurrentRow();
        return {m_catalogue.FieldRefAt(row, m_index), m_catalogue.FieldIsVerdictAt(row, m_index)};
    }
    std::string dataField() const override { return m_column; }
    void setDataField(const std::string& column) override
    {
        if (column == m_column)
            return;
        m_column = column;
        m_index = Catalogue::FieldIndex(m_column);
        if (!m_held)
            refresh();
    }
    void refresh() { form3::setFieldText(m_edit, form3::qs(text())); }
    // While held, a change of the binding is not shown; refresh() shows it.
    void hold(bool held) { m_held = held; }

private:
    const Catalogue& m_catalogue;
    QLineEdit* m_edit;
    bool m_held = false;
    std::string m_column = limitColumn(QualityLevel::B);
    int m_index = Catalogue::FieldIndex(m_column);
};

class TForm3::ResultLabel : public ResultDisplay {
public:
    explicit ResultLabel(QLabel* label)
        : m_label(label)
    {
    }
    void setCaption(const std::string& text) override
    {
        if (m_held)
            m_heldText.assign(text);
        else
            m_label->setText(form3::qs(text));
    }
    // While held, the caption is kept and shown only when released.
    void hold() { m_held = true; }
    void release()
    {
        m_held = false;
        m_label->setText(form3::qs(m_heldText));
    }
    void cancel() { m_held = false; }

private:
    QLabel* m_label;
    bool m_held = false;
    std::string m_heldText;
};

class TForm3::StatusPanelLink : public StatusPanel {
public:
    explicit StatusPanelLink(TForm3& form)
        : m_form(form)
    {
    }
    void setPanelText(int panel, const std::string& text) override { m_form.setPanelText(panel, form3::qs(text)); }
    // While held, the record position is kept and shown only when released.
    void showRecordPosition(int recNo, int recCount) override
    {
        if (m_held) {
            m_heldPosition = {recNo, recCount};
            return;
        }
        StatusPanel::showRecordPosition(recNo, recCount);
    }
    void hold() { m_held = true; }
    void release()
    {
        m_held = false;
        StatusPanel::showRecordPosition(m_heldPosition.first, m_heldPosition.second);
    }
    void cancel() { m_held = false; }

private:
    TForm3& m_form;
    bool m_held = false;
    std::pair<int, int> m_heldPosition;
};

class TForm3::WeldInputs : public WeldSource {
public:
    explicit WeldInputs(const TForm3& form)
        : m_form(form)
    {
    }
    WeldInput weld() const override
    {
        WeldInput weld;
        weld.t = m_form.SpinEdit1->floatValue();
        weld.l = m_form.SpinEdit2->floatValue();
        weld.b = m_form.SpinEdit3->floatValue();
        weld.bw = m_form.SpinEdit4->floatValue();
        weld.seamType = ItemIndex(m_form.ComboBox1);
        weld.welderTest = m_form.CheckBox1->isChecked();
        weld.railBridge = m_form.CheckBox2->isChecked();
        return weld;
    }

private:
    const TForm3& m_form;
};

// The recalculation walk passes every row while no event loop runs and ends
// on the row it started on, so nobody sees the rows in between.  The grid
// follows every row, as its selection and scroll position must end as the
// walk leaves them, but paints nothing meanwhile; the fields, the remarks,
// the limit field, the result and the status bar show only the row the walk
// ends on.  Released also when a rule fails half-way.
class TForm3::QuietWalk {
public:
    explicit QuietWalk(TForm3& form)
        : m_form(form)
    {
        m_form.m_walkRows = 0;
        m_form.m_bWalking = true;
        m_form.m_limitField->hold(true);
        m_form.m_resultDisplay->hold();
        m_form.m_statusPanel->hold();
        for (QWidget* painted : grid())
            painted->setUpdatesEnabled(false);
    }
    ~QuietWalk()
    {
        for (QWidget* painted : grid())
            painted->setUpdatesEnabled(true);
        m_form.m_bWalking = false;
        m_form.m_limitField->hold(false);
        if (m_form.m_walkRows == 0) {
            // Nothing moved (no catalogue): nothing to show.
            m_form.m_resultDisplay->cancel();
            m_form.m_statusPanel->cancel();
            return;
        }
        m_form.showRowFields();
        m_form.m_statusPanel->release();
        m_form.m_resultDisplay->release();
    }
    QuietWalk(const QuietWalk&) = delete;
    QuietWalk& operator=(const QuietWalk&) = delete;

private:
    std::array<QWidget*, 2> grid() const
    {
        return {m_form.DBGrid1->viewport(), m_form.DBGrid1->verticalHeader()->viewport()};
    }

    TForm3& m_form;
};

report::ReportSystem& TForm3::reportSystem()
{
    // The printer is set up when a report command first needs it: asking the
    // print system for its printers would hold up the window's start for a
    // command that many runs never use.  It then keeps its settings for the
    // rest of the run.
    if (!m_RvSystem1)
        m_RvSystem1 = std::make_unique<report::ReportSystem>();
    return *m_RvSystem1;
}

} // namespace veltrano
