#pragma once
// The record window's questions about its files, and the recovery copies of
// unsaved work: a file another program changed since it was loaded, a file
// no one may write, and at the start of the program the copy of work an
// earlier run did not save.

#include "FileStamp.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace veltrano {

namespace record {
class SaveError;
}

// After saveRecord refused a file: "Überschreiben" (a changed file only),
// "Speichern unter…" or "Abbrechen" (Esc).
enum class RefusedSaveAnswer { Overwrite, SaveAs, Cancel };
RefusedSaveAnswer askAboutRefusedSave(QWidget* parent, const QString& fileName, const record::SaveError& error);

// A recovery copy and the note beside it: the record file the work belongs
// to and what that file held when it was loaded.
struct RecoveryCopy {
    QString path;
    QString file; // empty for a record not yet saved
    std::optional<record::FileStamp> stamp;
    QDateTime made;
    QString order; // of the record in the copy; empty when it has none
};

void writeRecoveryNote(const QString& copy, const QString& file, const std::optional<record::FileStamp>& stamp);
RecoveryCopy readRecoveryNote(const QString& copy);
void removeRecoveryCopy(const QString& copy);

// Copies of earlier runs lie beside the window's own copy under names of
// their own, newest first, so that the work of this run never replaces them.
QStringList earlierRecoveryCopies(const QString& ownCopy);
// At the start of the program: moves the window's own copy, left by a run
// that ended without closing the window, beside the others, and lists them
// all (the own copy too if it could not be moved).
QStringList recoveryCopiesOfEarlierRuns(const QString& ownCopy);

// "Wiederherstellen", "Später" (Esc: the copy stays and is offered at the
// next start) or "Verwerfen" (after a second question).
enum class RecoveryAnswer { Restore, Later, Discard };
RecoveryAnswer askAboutRecovery(QWidget* parent, const RecoveryCopy& copy);

} // namespace veltrano
