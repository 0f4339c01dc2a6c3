#pragma once
// The record window's questions about its files: a file another program
// changed since it was loaded, a file no one may write, and at the start of
// the program the copy of work an earlier run did not save.

#include "recordwindow/RecordRecovery.h"

#include <QString>

class QWidget;

namespace veltrano {

namespace record {
class SaveError;
}

// After saveRecord refused a file: "Überschreiben" (a changed file only),
// "Speichern unter…" or "Abbrechen" (Esc).
enum class RefusedSaveAnswer { Overwrite, SaveAs, Cancel };
RefusedSaveAnswer askAboutRefusedSave(QWidget* parent, const QString& fileName, const record::SaveError& error);

// "Wiederherstellen", "Später" (Esc: the copy stays and is offered at the
// next start) or "Verwerfen" (after a second question).
enum class RecoveryAnswer { Restore, Later, Discard };
RecoveryAnswer askAboutRecovery(QWidget* parent, const RecoveryCopy& copy);

} // namespace veltrano
