#pragma once
// The numeric spin field of the weld dimensions (t, l, b, bw).
//
// The value changes only with the two spin buttons or the Up and Down keys,
// one increment per step, and stays within its range; typed characters, the
// mouse wheel and the page keys have no effect.  The value is shown with two
// decimals and the locale's decimal separator, without thousands separators
// ("10,00").

#include <QDoubleSpinBox>
#include <QString>

namespace veltrano {

class WeldSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    WeldSpinEdit(double increment, double minimum, double maximum, double value, QWidget* parent = nullptr);

    // The value as the evaluation reads it: the nearest 32-bit float.
    float floatValue() const { return static_cast<float>(value()); }

    void stepBy(int steps) override;
    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QString m_decimalSeparator;
};

} // namespace veltrano
