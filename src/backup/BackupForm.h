#pragma once
// The database backup dialog.
//
// It copies every database file of the program's folder ("*.MDB", any letter
// case) either into the folder "Backup" below it (or, when that folder takes
// no files, "Backup" in the user's data folder) or to the root of drive A:.
// Its questions and messages are always the window in front; when the copy
// has ended a notice tells what was copied and which earlier copies stayed.
// While the copy runs the main window's catalogue table is closed, so that
// the file is not in use; the main window opens it again when the dialog has
// closed.  RunBackupDialog is the whole command as the main window runs it.

#include "backup/BackupCopy.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

// The separator that AddPathPart puts between folder and name: the backslash
// on Windows, the platform's own elsewhere.
#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = u'\\';
#else
inline constexpr QChar kPathSeparator = u'/';
#endif

// dir and name joined by exactly one separator; an empty dir gives the
// separator followed by name.
QString AddPathPart(const QString& dir, const QString& name, QChar separator = kPathSeparator);

// The progress window of the copy, titled "Datenbank-Sicherungskopie": the
// file being copied, a bar for the whole run and a cancel button.  It is
// modal to the backup dialog and shown only while bytes are being copied;
// every question and error message of the copy hides it first, so nothing
// of it stands over them.  Closing it, Esc or its button stop the copy.
// True when new files can be made in dir: a probe file is created there and
// removed again.  Permission bits alone do not tell (they do not bind the
// administrator, and a read-only medium ignores them).
bool FolderIsWritable(const QString& dir);

// Whether a folder takes new files; FolderIsWritable unless a test says.
using WritableProbe = std::function<bool(const QString& dir)>;

// The folder for the backup of the database files in programDir: "Backup"
// beside them when that folder can take the copies, else "Backup" in the
// user's data folder (a program installed for all users lives in a folder
// that only the administrator may write).  An existing "Backup" folder must
// take files itself; otherwise programDir must, for "Backup" to be made there.
QString BackupTargetFor(const QString& programDir, const WritableProbe& writable = FolderIsWritable);

class TBackupProgress : public QDialog {
    Q_OBJECT

public:
    TBackupProgress(const QString& title, QWidget* parent);

    QLabel* LabelFile = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BitBtnStop = nullptr;

    bool stopped() const { return m_stopped; }

public slots:
    void reject() override;

private:
    bool m_stopped = false;
};

// What the user is told when a backup run has ended: how many files were
// copied and where to, which earlier copies stayed because the user said
// "Nein", whether it was stopped, how many files failed.  Empty when every
// file failed: each failure has had its own message.
QString BackupSummary(const veltrano::CopyOutcome& outcome, const QString& target);

class TFormBackup : public QDialog, private veltrano::CopyInteraction {
    Q_OBJECT

public:
    // closeTable closes the main window's catalogue table before the copy;
    // programDir is the folder of the program file (the running program's
    // own when empty); writable decides whether a folder takes the backup.
    explicit TFormBackup(QWidget* parent = nullptr, std::function<void()> closeTable = {},
                         const QString& programDir = QString(), WritableProbe writable = FolderIsWritable);
    ~TFormBackup() override;

    QString sSourceDir;        // the program's folder and "*.MDB"
    QString sTargetDir;        // "Backup" in the program's folder or the user's data folder
    veltrano::CopyRequest aSI; // filled when the copy starts

    QGroupBox* RadioGroupTarget = nullptr;
    QRadioButton* RadioHardDisk = nullptr; // "Festplatte"
    QRadioButton* RadioFloppy = nullptr;   // "Diskette (Lw: A)"
    QLabel* PanelTarget = nullptr;
    QPushButton* BitBtnStart = nullptr;
    QPushButton* BitBtnCancel = nullptr;
    QStatusBar* StatusBarPath = nullptr;

    // The outcome of the last copy, for whoever wants more than "OK".
    const veltrano::CopyOutcome& lastOutcome() const { return m_outcome; }

public slots:
    void BitBtnStartClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();

    void copyStarted(const QString& title, int fileCount, qint64 totalBytes) override;
    bool copyProgress(const QString& file, qint64 bytesDone) override;
    void copyFinished() override;
    ReplaceAnswer confirmReplace(const QString& existing, const QString& source) override;
    void reportError(const QString& file, const QString& message) override;
    void hideProgress();

    std::function<void()> m_closeTable;
    QString m_programDir;
    WritableProbe m_writable;
    bool m_copying = false;
    veltrano::CopyOutcome m_outcome;

    TBackupProgress* m_progress = nullptr;
    qint64 m_totalBytes = 0;
    QString m_progressFile;
    qint64 m_fileStart = 0; // bytes of the run done when the current file began
};

// The backup command of the main window: its status bar shows the single
// notice "Sicherungskopie der Datenbank-Dateien " in place of its panels, a
// fresh dialog owned by the window runs modally (closeTable is called before
// the copy), the panels come back, and openTable opens the catalogue table
// again; an error it throws is shown in an error box.  Returns the dialog's
// result.
int RunBackupDialog(QWidget* parent, QStatusBar* statusBar, std::function<void()> closeTable,
                    std::function<void()> openTable, const QString& programDir = QString());
