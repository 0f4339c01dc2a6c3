#include "window/RecordWindowLink.h"

#include "recordwindow/RecordForm.h"
#include "window/ENUnit3.h"
#include "window/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>

namespace veltrano {

using record::Weld;

std::optional<Weld> weldOfMainWindow(const TForm3& form)
{
    const int seam = TForm3::ItemIndex(form.ComboBox1);
    const int level = TForm3::ItemIndex(form.ComboBox2);
    if (seam < 0 || seam > 1 || level < 0 || level > 2)
        return std::nullopt;
    Weld w;
    w.seam = seam == 1 ? SeamType::Fillet : SeamType::Butt;
    w.level = static_cast<QualityLevel>(level + 1);
    // The fields' texts as they show them ("10,00"), as exact decimals.
    const auto dimension = [](const WeldSpinEdit* field) {
        return record::WrittenNumber::typed(field->text().trimmed().toStdString());
    };
    w.t = dimension(form.SpinEdit1);
    w.l = dimension(form.SpinEdit2);
    w.b = dimension(form.SpinEdit3);
    w.bw = dimension(form.SpinEdit4);
    if (form.CheckBox1->isChecked())
        w.welderTest = true;
    if (form.CheckBox2->isChecked())
        w.railBridge = true;
    return w;
}

TRecordForm* showRecordWindow(TForm3& form, const QString& file)
{
    return showRecordWindow(
        form, form.Table1().file(), [&form] { return weldOfMainWindow(form); }, file);
}

void offerRecordRecovery(TForm3& form)
{
    offerRecordRecovery(form, [&form] { return showRecordWindow(form); });
}

} // namespace veltrano
