#pragma once
// How the record window shows a verdict: always its word ("angenommen",
// "zurückgewiesen", "offen"), and beside it a colour for the eye that
// never stands alone.

#include "record/Record.h"
#include "record/Verdict.h"

#include <QColor>
#include <QString>

namespace veltrano {

QString verdictText(record::Verdict verdict);
QColor verdictBackground(record::Verdict verdict);
QColor verdictForeground(record::Verdict verdict);

// The inspector's own judgement of a finding as the table shows it; a dash
// when there is none.
QString judgementText(record::Judgement judgement);
// The inspector's judgement read back from that text.
record::Judgement judgementOf(const QString& text);

// The background of an entry that was refused.
inline const QColor kBadBackground(0xff, 0xd6, 0xd6);

} // namespace veltrano
