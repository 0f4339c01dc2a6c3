#pragma once
// The one writer of the printed documents' files (the evaluation report and
// the printed inspection record; the command-line tool and the windows).
//
// The whole content is at hand before the target is touched, and it reaches
// the target by these rules:
//   "-"                  standard output;
//   a regular file the   a temporary file in the same folder is written,
//   user may write, or   flushed and synced, takes the old file's
//   no file yet          permissions and is then renamed over it: the old
//                        file stays whole until the new one is complete;
//   a symbolic link      followed to its target, which is written by these
//                        rules; the link stays;
//   a named pipe, a      written into directly, never renamed over;
//   character or block
//   device
//   anything else (a     refused with the reason.
//   folder, a socket)
// Every failed write, sync, close or rename is an error with its reason.

#include <QByteArray>
#include <QString>

namespace veltrano::print {

// Writes content to target ("-": standard output).  False with a message in
// *error that names the target and gives the reason when it cannot be
// written; a regular file is then left as it was.
bool writeOutput(const QString& target, const QByteArray& content, QString* error);

} // namespace veltrano::print
