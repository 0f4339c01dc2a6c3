#pragma once
// Finding the catalogue row that an inspector means by what he types into
// the findings table: the rows that can belong to a weld, the title under
// which a row is offered, and the row that a typed text names.  Pure
// functions on the record core's view of the catalogue, so the window and
// the tests share them.

#include "record/CatalogueRows.h"
#include "record/Record.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrano::record {

// The rows that can belong to the weld (its seam type and thickness), in
// catalogue order.
std::vector<int> offeredRows(const Weld& weld, const CatalogueRows& rows);

// "13 – 5011, 5012 Einbrandkerbe": the row's number, its reference number
// and its name, each with its white space made single; without a reference
// number "86 – Mehrfachunregelmäßigkeiten (Stumpfnaht)".  A number outside
// the catalogue stands alone.
std::string rowTitle(int row, const CatalogueRows& rows);

// The first of the offered rows that the typed text names, tried in this
// order: its whole title (letter case aside) or its row number; one of its
// reference numbers exactly; a part of its name (letter case aside).  0 when
// none fits.
int matchRow(std::string_view typed, const std::vector<int>& offered, const CatalogueRows& rows);

} // namespace veltrano::record
