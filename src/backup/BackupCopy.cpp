#include "backup/BackupCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <vector>

namespace veltrano {

namespace {

constexpr qint64 kChunkSize = 256 * 1024;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// "A:", "A:\" or "A:/" and what follows: the drive letter, or an empty text.
QString driveLetterOf(const QString& path)
{
    static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):([\\\\/]|$)"));
    const QRegularExpressionMatch m = drive.match(path);
    return m.hasMatch() ? m.captured(1).toUpper() : QString();
}

// The target must be a folder that exists or can be made; a missing folder is
// created without asking.  Returns the reason why it cannot be used, or an
// empty text.
QString prepareTarget(const QString& target)
{
    const QString letter = driveLetterOf(target);
    if (!letter.isEmpty()) {
        if (!HasDriveLetters())
            return QStringLiteral("Laufwerk %1: ist nicht verf\u00FCgbar: dieses System kennt keine "
                                  "Laufwerksbuchstaben. Es wurde nichts kopiert.")
                .arg(letter);
        if (!QDir(letter + QStringLiteral(":/")).exists())
            return QStringLiteral("Laufwerk %1: ist nicht verf\u00FCgbar: kein solches Laufwerk oder kein "
                                  "Datentr\u00E4ger eingelegt. Es wurde nichts kopiert.")
                .arg(letter);
    }

    const QFileInfo info(target);
    if (info.exists() && !info.isDir())
        return QStringLiteral("Der Zielordner \"%1\" kann nicht angelegt werden: es gibt dort schon eine "
                              "Datei dieses Namens. Es wurde nichts kopiert.")
            .arg(shown(target));
    if (!info.exists() && !QDir().mkpath(target))
        return QStringLiteral("Der Zielordner \"%1\" kann nicht angelegt werden: Schreibschutz oder keine "
                              "Berechtigung. Es wurde nichts kopiert.")
            .arg(shown(target));
    return {};
}

// A short write (the disk filling up) is tried again for the rest, so that
// the failure that follows carries the system's reason.
bool writeAll(QSaveFile& out, const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 written = out.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

class FileCopier {
public:
    FileCopier(CopyInteraction& interaction, qint64& bytesDone)
        : m_interaction(interaction)
        , m_bytesDone(bytesDone)
        , m_buffer(kChunkSize)
    {
    }

    enum class Result { Copied, Failed, Cancelled };

    // Copies source to target through a temporary file beside target.
    Result copy(const QFileInfo& source, const QString& target, bool replacing)
    {
        const QString name = source.fileName();
        const QString failedTo = QStringLiteral("Die Datei \"%1\" kann nicht nach \"%2\" kopiert werden: ")
                                     .arg(shown(source.filePath()), shown(target));
        const QString keptNote =
            replacing ? QStringLiteral(" Die fr\u00FChere Sicherungskopie dieser Datei bleibt unver\u00E4ndert.")
                      : QString();

        QFile in(source.filePath());
        if (!in.open(QIODevice::ReadOnly)) {
            m_interaction.reportError(source.filePath(), failedTo + in.errorString() + QLatin1Char('.') + keptNote);
            return Result::Failed;
        }
        // QSaveFile writes into a temporary file in the target's folder and
        // renames it over the target only on commit; when it is dropped
        // without commit, the temporary file is removed.
        QSaveFile out(target);
        out.setDirectWriteFallback(false);
        if (!out.open(QIODevice::WriteOnly)) {
            m_interaction.reportError(source.filePath(), failedTo + out.errorString() + QLatin1Char('.') + keptNote);
            return Result::Failed;
        }

        for (;;) {
            const qint64 n = in.read(m_buffer.data(), kChunkSize);
            if (n < 0) {
                out.cancelWriting();
                m_interaction.reportError(source.filePath(), failedTo + in.errorString() + QLatin1Char('.') + keptNote);
                return Result::Failed;
            }
            if (n == 0)
                break;
            if (!writeAll(out, m_buffer.data(), n)) {
                // The cause first: cancelWriting replaces it with its own.
                const QString cause = out.errorString();
                out.cancelWriting();
                m_interaction.reportError(source.filePath(), failedTo + cause + QLatin1Char('.') + keptNote);
                return Result::Failed;
            }
            m_bytesDone += n;
            if (!m_interaction.copyProgress(name, m_bytesDone)) {
                out.cancelWriting();
                return Result::Cancelled;
            }
        }

        // The copy keeps the time of the original, as a backup should; the
        // buffer is flushed first, or a later write would set a new time.
        if (out.flush())
            out.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
        if (!out.commit()) {
            m_interaction.reportError(source.filePath(), failedTo + out.errorString() + QLatin1Char('.') + keptNote);
            return Result::Failed;
        }
        return Result::Copied;
    }

private:
    CopyInteraction& m_interaction;
    qint64& m_bytesDone;
    std::vector<char> m_buffer;
};

} // namespace

bool HasDriveLetters()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

CopyOutcome CopyFiles(const CopyRequest& request, CopyInteraction& interaction)
{
    CopyOutcome outcome;

    // The source is a folder and a wildcard; on Windows either separator
    // may divide them.
    const QString source = QDir::fromNativeSeparators(request.source);
    const qsizetype cut = source.lastIndexOf(QLatin1Char('/'));
    const QString sourceDir = cut < 0 ? QStringLiteral(".") : source.left(cut + 1);
    const QString wildcard = source.mid(cut + 1);

    // Files only, hidden ones included; QDir matches name filters without
    // regard to letter case unless told otherwise.
    const QFileInfoList files =
        QDir(sourceDir).entryInfoList({wildcard}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    if (files.isEmpty()) {
        outcome.failed = 1;
        interaction.reportError(request.source,
                                QStringLiteral("Im Ordner \"%1\" gibt es keine Datei \"%2\". Es wurde nichts kopiert.")
                                    .arg(shown(sourceDir), wildcard));
        return outcome;
    }

    if (const QString reason = prepareTarget(request.target); !reason.isEmpty()) {
        outcome.failed = 1;
        interaction.reportError(request.target, reason);
        return outcome;
    }
    const QDir targetDir(request.target);

    qint64 totalBytes = 0;
    for (const QFileInfo& file : files)
        totalBytes += file.size();

    qint64 bytesDone = 0;
    FileCopier copier(interaction, bytesDone);
    bool replaceAll = false;

    interaction.copyStarted(request.progressTitle, static_cast<int>(files.size()), totalBytes);
    for (const QFileInfo& file : files) {
        if (!interaction.copyProgress(file.fileName(), bytesDone)) {
            outcome.cancelled = true;
            break;
        }

        const QString target = targetDir.filePath(file.fileName());
        const QFileInfo existing(target);
        const bool replacing = existing.exists();
        if (replacing) {
            if (existing.isDir()) {
                ++outcome.failed;
                interaction.reportError(file.filePath(),
                                        QStringLiteral("Die Datei \"%1\" kann nicht nach \"%2\" kopiert werden: "
                                                       "dort gibt es einen Ordner dieses Namens.")
                                            .arg(shown(file.filePath()), shown(target)));
                bytesDone += file.size();
                continue;
            }
            if (existing.canonicalFilePath() == file.canonicalFilePath()) {
                ++outcome.failed;
                interaction.reportError(file.filePath(),
                                        QStringLiteral("Die Datei \"%1\" kann nicht kopiert werden: Quelle und "
                                                       "Ziel sind dieselbe Datei.")
                                            .arg(shown(file.filePath())));
                bytesDone += file.size();
                continue;
            }
            if (!replaceAll) {
                const auto answer = interaction.confirmReplace(target, file.filePath());
                if (answer == CopyInteraction::ReplaceAnswer::Cancel) {
                    outcome.cancelled = true;
                    break;
                }
                if (answer == CopyInteraction::ReplaceAnswer::No) {
                    ++outcome.skipped;
                    outcome.kept << file.fileName();
                    bytesDone += file.size();
                    continue;
                }
                replaceAll = answer == CopyInteraction::ReplaceAnswer::YesToAll;
            }
        }

        const qint64 startedAt = bytesDone;
        switch (copier.copy(file, target, replacing)) {
        case FileCopier::Result::Copied:
            ++outcome.copied;
            bytesDone = startedAt + file.size();
            break;
        case FileCopier::Result::Failed:
            ++outcome.failed;
            // The progress goes on from where this file would have ended.
            bytesDone = startedAt + file.size();
            break;
        case FileCopier::Result::Cancelled:
            outcome.cancelled = true;
            break;
        }
        if (outcome.cancelled)
            break;
    }
    interaction.copyFinished();
    return outcome;
}

} // namespace veltrano
