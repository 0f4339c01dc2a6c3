#pragma once
// The main window's side of the inspection record window: the weld its
// inputs describe, and the record window opened beside it on its catalogue.
// The record window knows nothing of the main window; it is handed the
// catalogue file and a function that yields the main window's weld.

#include "record/Record.h"

#include <QString>

#include <optional>

namespace veltrano {

class TForm3;
class TRecordForm;

// The weld that the main window's inputs describe; empty when its selectors
// name no seam type or level.
std::optional<record::Weld> weldOfMainWindow(const TForm3& form);

// The main window's command "Prüfprotokoll": opens the one record window, or
// brings it to the front, beside the main window; with a file, loads it.
TRecordForm* showRecordWindow(TForm3& form, const QString& file = {});

// At the start of the program: unsaved work of an earlier run is offered
// back ("Wiederherstellen" opens it in the record window).
void offerRecordRecovery(TForm3& form);

} // namespace veltrano
