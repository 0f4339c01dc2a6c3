#include "recordwindow/RecordRecovery.h"

#include "record/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <filesystem>

namespace veltrano {

namespace {

constexpr qint64 kMostNoteBytes = 64 * 1024;

std::filesystem::path recordPath(const QString& file)
{
    return std::filesystem::path(file.toStdU16String());
}

QString noteOf(const QString& copy)
{
    return copy + QStringLiteral(".datei");
}

} // namespace

QString ownRecoveryCopy()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Pruefprotokoll-Wiederherstellung.json"));
}

void writeRecoveryCopy(const QString& copy, const record::Record& record, const QString& file,
                       const std::optional<record::FileStamp>& stamp)
{
    QDir().mkpath(QFileInfo(copy).absolutePath());
    QSaveFile out(copy);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(QByteArray::fromStdString(record::serializeRecord(record)));
    if (out.commit())
        writeRecoveryNote(copy, file, stamp);
}

std::optional<record::Record> readRecoveryCopy(const QString& copy, QString* error)
{
    // Read like any record file: a regular file of bounded size, never a
    // pipe or a device that happens to stand under the copy's name.
    try {
        return record::loadRecord(recordPath(copy));
    } catch (const record::RecordError& e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return std::nullopt;
    }
}

void writeRecoveryNote(const QString& copy, const QString& file, const std::optional<record::FileStamp>& stamp)
{
    QSaveFile note(noteOf(copy));
    if (!note.open(QIODevice::WriteOnly))
        return;
    QByteArray text = file.toUtf8();
    if (stamp)
        text += '\n' + QByteArray::fromStdString(stamp->text());
    note.write(text);
    note.commit();
}

RecoveryCopy readRecoveryNote(const QString& copy)
{
    RecoveryCopy info;
    info.path = copy;
    info.made = QFileInfo(copy).lastModified();
    QFile note(noteOf(copy));
    if (note.open(QIODevice::ReadOnly)) {
        // A file name and a stamp: a few hundred bytes, never more is read.
        const QList<QByteArray> lines = note.read(kMostNoteBytes).split('\n');
        info.file = QString::fromUtf8(lines.value(0));
        if (lines.size() > 1)
            info.stamp = record::FileStamp::fromText(lines[1].toStdString());
    }
    try {
        const record::Record r = record::loadRecord(recordPath(copy));
        info.order = r.inspection.order ? QString::fromStdString(*r.inspection.order) : QString();
    } catch (const record::RecordError&) {
        // Reported when the copy is restored.
    }
    return info;
}

void removeRecoveryCopy(const QString& copy)
{
    QFile::remove(copy);
    QFile::remove(noteOf(copy));
}

QStringList earlierRecoveryCopies(const QString& ownCopy)
{
    const QFileInfo own(ownCopy);
    QDir folder = own.absoluteDir();
    const QString prefix = own.completeBaseName() + QLatin1Char('-');
    QStringList copies;
    const QFileInfoList found =
        folder.entryInfoList({prefix + QStringLiteral("*.") + own.suffix()}, QDir::Files, QDir::Time);
    for (const QFileInfo& f : found)
        copies << f.absoluteFilePath();
    return copies;
}

QStringList recoveryCopiesOfEarlierRuns(const QString& ownCopy)
{
    const QFileInfo own(ownCopy);
    if (!own.exists())
        return earlierRecoveryCopies(ownCopy);
    const QString stem = own.absoluteDir().filePath(own.completeBaseName() + QLatin1Char('-') +
                                                    own.lastModified().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    QString aside = stem + QLatin1Char('.') + own.suffix();
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + own.suffix();
    // The note first: a copy is never without the file it belongs to.
    if (QFileInfo::exists(noteOf(ownCopy)))
        QFile::rename(noteOf(ownCopy), noteOf(aside));
    QStringList copies;
    if (!QFile::rename(ownCopy, aside))
        copies << ownCopy;
    return copies + earlierRecoveryCopies(ownCopy);
}

} // namespace veltrano
