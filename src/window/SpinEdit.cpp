#include "window/SpinEdit.h"

#include "evaluation/FormatFixed.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QWheelEvent>

namespace veltrano {

WeldSpinEdit::WeldSpinEdit(double increment, double minimum, double maximum, double value, QWidget* parent)
    : QDoubleSpinBox(parent)
    , m_decimalSeparator(QLocale().decimalPoint())
{
    setDecimals(2);
    setSingleStep(increment);
    setRange(minimum, maximum);
    setValue(value);
    setAccelerated(false);
    setKeyboardTracking(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // The text is never typed; it only shows the value.
    lineEdit()->setReadOnly(true);
}

void WeldSpinEdit::stepBy(int steps)
{
    // One increment per step, also with a modifier key held.
    QDoubleSpinBox::stepBy(steps > 0 ? 1 : (steps < 0 ? -1 : 0));
}

QString WeldSpinEdit::textFromValue(double value) const
{
    return QString::fromStdString(FormatFixed(value, 15, 2, m_decimalSeparator.toStdString()));
}

double WeldSpinEdit::valueFromText(const QString& text) const
{
    QString plain = text.trimmed();
    plain.replace(m_decimalSeparator, QStringLiteral("."));
    bool ok = false;
    const double v = plain.toDouble(&ok);
    return ok ? v : value();
}

QValidator::State WeldSpinEdit::validate(QString& text, int&) const
{
    QString plain = text.trimmed();
    plain.replace(m_decimalSeparator, QStringLiteral("."));
    bool ok = false;
    plain.toDouble(&ok);
    return ok ? QValidator::Acceptable : QValidator::Invalid;
}

void WeldSpinEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        event->accept();
        return;
    case Qt::Key_Down:
        stepBy(-1);
        event->accept();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        QDoubleSpinBox::keyPressEvent(event);
        return;
    default:
        // Typed characters, editing keys and the page keys do nothing; the
        // key is left to the window (Enter, Esc, F1, menu shortcuts).
        event->ignore();
        return;
    }
}

void WeldSpinEdit::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}

} // namespace veltrano
