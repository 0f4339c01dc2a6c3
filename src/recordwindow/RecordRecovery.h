#pragma once
// The recovery copies of the record window's unsaved work: while changes
// are unsaved, the record lies in the user's data folder beside a note of
// the record file it belongs to and what that file held when it was loaded.
// The next start of the program offers the copies back.  Files only, no
// window.

#include "record/FileStamp.h"
#include "record/Record.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace veltrano {

// The window's own copy: Pruefprotokoll-Wiederherstellung.json in the
// user's data folder (~/.local/share/Veltrano on Linux).
QString ownRecoveryCopy();

// A recovery copy and the note beside it.
struct RecoveryCopy {
    QString path;
    QString file; // empty for a record not yet saved
    std::optional<record::FileStamp> stamp;
    QDateTime made;
    QString order; // of the record in the copy; empty when it has none
};

// Writes the copy of record and its note.  A copy that cannot be written
// costs only the copy: the work itself is still in the window.
void writeRecoveryCopy(const QString& copy, const record::Record& record, const QString& file,
                       const std::optional<record::FileStamp>& stamp);
// The record of a copy; empty with the reason in error when it cannot be read.
std::optional<record::Record> readRecoveryCopy(const QString& copy, QString* error = nullptr);

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

} // namespace veltrano
