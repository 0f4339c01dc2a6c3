#pragma once
// The overview that opens a record of several welds: one line per weld with
// its id, seam type, level, dimensions, welder, number of findings and
// verdict, so the result of a long record is seen on its first pages before
// the welds' details follow.

#include "recordprint/RecordPrintFlow.h"

namespace veltrano::recordprint::detail {

// Lays the overview out where the flow stands; it runs on over as many
// pages as it needs, its heading and column titles repeated on each.
void overviewTable(Flow& flow, const record::Record& record, const record::RecordVerdict& verdict);

// How many findings of the record await the inspector.
int openFindings(const record::RecordVerdict& verdict);

// Texts of a weld that the overview and the weld's details share.
QString seamName(SeamType s);
QString levelName(QualityLevel l);
QString number(const record::WrittenNumber& n);
QString verdictText(record::Verdict v);
QString qs(const std::string& s);

} // namespace veltrano::recordprint::detail
