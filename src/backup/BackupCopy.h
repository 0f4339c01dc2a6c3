#pragma once
// The copy behind the backup dialog.
//
// Every file of one folder whose name matches a wildcard (without regard to
// letter case, as Windows matches "*.MDB") is copied into a target folder.
// Only files are copied, never folders.  A missing target folder is created
// without asking; before an existing file is replaced the user is asked, with
// a choice for all remaining files.  Every error is reported with the file it
// concerns and its cause, and the user can stop the copy from the progress
// window.
//
// Nothing is ever lost: each file is written under a temporary name in the
// target folder and renamed into place only when it is complete, so a failed
// or stopped copy leaves an earlier backup of that file whole and no partial
// file behind.
//
// The questions, the error messages and the progress go through
// CopyInteraction; the dialog answers them with message boxes and a progress
// window, a test answers them directly.

#include <QString>
#include <QStringList>

namespace veltrano {

// What one copy run is asked to do.
struct CopyRequest {
    QString source;        // folder and wildcard, e.g. "C:\Veltrano\*.MDB"
    QString target;        // target folder, e.g. "C:\Veltrano\Backup" or "A:\"
    QString progressTitle; // caption of the progress window
};

class CopyInteraction {
public:
    enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };

    virtual ~CopyInteraction() = default;

    // The copy is about to start: fileCount files of totalBytes bytes in all.
    virtual void copyStarted(const QString& title, int fileCount, qint64 totalBytes) = 0;
    // bytesDone of the whole run have been copied, now working on file.
    // Returns false when the user has stopped the copy.
    virtual bool copyProgress(const QString& file, qint64 bytesDone) = 0;
    virtual void copyFinished() = 0;

    // existing is to be replaced by source.
    virtual ReplaceAnswer confirmReplace(const QString& existing, const QString& source) = 0;
    // message is a complete sentence that names file and gives the cause.
    virtual void reportError(const QString& file, const QString& message) = 0;
};

struct CopyOutcome {
    int copied = 0;
    int skipped = 0;   // the user declined to replace them
    QStringList kept;  // their names: the earlier backup of each stays
    int failed = 0;    // errors reported
    bool cancelled = false;
};

CopyOutcome CopyFiles(const CopyRequest& request, CopyInteraction& interaction);

// True when the platform names its drives by letters ("A:\").
bool HasDriveLetters();

} // namespace veltrano
