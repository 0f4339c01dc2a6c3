#include "recordwindow/VerdictLook.h"

namespace veltrano {

using record::Judgement;
using record::Verdict;

QString verdictText(Verdict v)
{
    return QString::fromUtf8(record::verdictWord(v));
}

QColor verdictBackground(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return QColor(0xc8, 0xe6, 0xc9);
    case Verdict::Rejected:
        return QColor(0xf7, 0xc1, 0xc1);
    case Verdict::Open:
        break;
    }
    return QColor(0xff, 0xe8, 0xa3);
}

QColor verdictForeground(Verdict v)
{
    switch (v) {
    case Verdict::Accepted:
        return QColor(0x1b, 0x5e, 0x20);
    case Verdict::Rejected:
        return QColor(0x8b, 0x00, 0x00);
    case Verdict::Open:
        break;
    }
    return QColor(0x5d, 0x43, 0x00);
}

QString judgementText(Judgement j)
{
    switch (j) {
    case Judgement::Accepted:
        return verdictText(Verdict::Accepted);
    case Judgement::Rejected:
        return verdictText(Verdict::Rejected);
    case Judgement::None:
        break;
    }
    return QStringLiteral("\u2013");
}

Judgement judgementOf(const QString& text)
{
    return text == verdictText(Verdict::Accepted)   ? Judgement::Accepted
           : text == verdictText(Verdict::Rejected) ? Judgement::Rejected
                                                    : Judgement::None;
}

} // namespace veltrano
