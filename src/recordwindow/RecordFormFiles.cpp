// The record window's files: new, open, save with its questions, the
// recovery copy of unsaved work, and the one record window of the program.

#include "recordwindow/RecordForm.h"

#include "record/RecordFile.h"
#include "recordwindow/RecordFileQuestions.h"
#include "recordwindow/RecordRecovery.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUndoStack>

#include <algorithm>

namespace veltrano {

using record::Record;

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

// A part of a file name made of the order number: no characters that a
// file system refuses, no blanks.
QString fileNamePart(QString s)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : s)
        if (forbidden.contains(c) || c.isSpace())
            c = QLatin1Char('_');
    return s;
}

} // namespace

// ---------------------------------------------------------------------------
// Files

bool TRecordForm::maybeSave()
{
    if (!isModified())
        return true;
    QMessageBox box(QMessageBox::Question, kRecordWindowTitle,
                    QStringLiteral("Das Prüfprotokoll »%1« wurde geändert.\nSollen die Änderungen gespeichert werden?")
                        .arg(m_file.isEmpty() ? QStringLiteral("Neues Protokoll") : QFileInfo(m_file).fileName()),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    QPushButton* saveButton = box.addButton(QStringLiteral("&Speichern"), QMessageBox::AcceptRole);
    QPushButton* discardButton = box.addButton(QStringLiteral("&Verwerfen"), QMessageBox::DestructiveRole);
    QPushButton* cancelButton = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    saveButton->setAccessibleName(QStringLiteral("Speichern"));
    discardButton->setAccessibleName(QStringLiteral("Verwerfen"));
    cancelButton->setAccessibleName(QStringLiteral("Abbrechen"));
    box.setDefaultButton(saveButton);
    box.setEscapeButton(cancelButton);
    box.exec();
    if (box.clickedButton() == saveButton)
        return save();
    return box.clickedButton() == discardButton;
}

void TRecordForm::setFile(const QString& file)
{
    m_file = file;
    updateTitle();
}

void TRecordForm::newRecord()
{
    if (!maybeSave())
        return;
    m_undo->clear();
    m_badCells.clear();
    m_record = Record{};
    m_weld = -1;
    m_stamp.reset();
    setFile({});
    refresh();
    discardRecovery();
}

void TRecordForm::openRecord()
{
    if (!maybeSave())
        return;
    const QString dir = m_file.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                         : QFileInfo(m_file).absolutePath();
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Prüfprotokoll öffnen"), dir,
                                     QStringLiteral("Prüfprotokolle (*.vrec *.json);;Alle Dateien (*)"));
    if (!file.isEmpty())
        openFile(file);
}

bool TRecordForm::openFile(const QString& file)
{
    Record loaded;
    // Taken before reading: a change in between counts as a change.
    const std::filesystem::path path(file.toStdU16String());
    std::optional<record::FileStamp> stamp = record::stampFile(path);
    try {
        loaded = record::loadRecord(path);
    } catch (const record::RecordError& e) {
        QMessageBox::warning(
            this, kRecordWindowTitle,
            QStringLiteral("Das Prüfprotokoll kann nicht geöffnet werden.\n\n%1").arg(QString::fromUtf8(e.what())));
        return false;
    }
    m_undo->clear();
    m_badCells.clear();
    m_record = std::move(loaded);
    m_weld = m_record.welds.empty() ? -1 : 0;
    m_stamp = std::move(stamp);
    setFile(QFileInfo(file).absoluteFilePath());
    refresh();
    discardRecovery();
    return true;
}

bool TRecordForm::save()
{
    if (m_file.isEmpty())
        return saveAs();
    return saveTo(m_file);
}

QString TRecordForm::suggestedFileName() const
{
    const record::Inspection& h = m_record.inspection;
    QDate date = h.date ? QDate::fromString(qs(h.date->substr(0, 10)), Qt::ISODate) : QDate();
    if (!date.isValid())
        date = QDate::currentDate();
    const QString order = h.order ? fileNamePart(qs(*h.order)) : QStringLiteral("Pruefprotokoll");
    return QStringLiteral("%1_%2.vrec").arg(order, date.toString(Qt::ISODate));
}

bool TRecordForm::saveAs()
{
    const QString dir = m_file.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                         : QFileInfo(m_file).absolutePath();
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Prüfprotokoll speichern unter"),
                                                QDir(dir).filePath(suggestedFileName()),
                                                QStringLiteral("Prüfprotokolle (*.vrec)"));
    if (file.isEmpty())
        return false;
    // The desktop knows record files by this ending and opens them here.
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".vrec");
    return saveTo(file);
}

bool TRecordForm::saveTo(const QString& file)
{
    const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
    const bool badField = std::any_of(fields.begin(), fields.end(),
                                      [](const QLineEdit* e) { return e->property("veltranoBad").toBool(); });
    if (!m_badCells.empty() || badField) {
        QMessageBox::warning(this, kRecordWindowTitle,
                             QStringLiteral("Einige Eingaben sind ungültig (rot markiert, der Grund steht im "
                                            "Tooltip). Bitte berichtigen; in der Befundtabelle setzt Esc eine "
                                            "Eingabe auf den letzten gültigen Wert zurück."));
        return false;
    }
    // Over the file that was loaded: not over another program's change.
    const std::optional<record::FileStamp> loaded =
        QFileInfo(file).absoluteFilePath() == m_file ? m_stamp : std::nullopt;
    for (auto mode = record::SaveMode::KeepOtherChanges;;) {
        try {
            m_stamp = record::saveRecord(m_record, std::filesystem::path(file.toStdU16String()), loaded, mode);
            break;
        } catch (const record::SaveError& e) {
            const RefusedSaveAnswer answer = askAboutRefusedSave(this, file, e);
            if (answer == RefusedSaveAnswer::SaveAs)
                return saveAs();
            if (answer == RefusedSaveAnswer::Cancel)
                return false;
            mode = record::SaveMode::Overwrite;
        } catch (const std::exception& e) {
            QMessageBox::warning(this, kRecordWindowTitle,
                                 QStringLiteral("Das Prüfprotokoll kann nicht gespeichert werden.\n\n%1")
                                     .arg(QString::fromUtf8(e.what())));
            return false;
        }
    }
    m_undo->setClean();
    setFile(QFileInfo(file).absoluteFilePath());
    discardRecovery();
    statusBar()->showMessage(QStringLiteral("Gespeichert: %1").arg(QDir::toNativeSeparators(m_file)), 5000);
    return true;
}

void TRecordForm::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    discardRecovery();
    event->accept();
}

// ---------------------------------------------------------------------------
// Recovery copy

QString TRecordForm::recoveryFile()
{
    return ownRecoveryCopy();
}

bool TRecordForm::recoveryAvailable()
{
    return QFileInfo::exists(recoveryFile()) || !earlierRecoveryCopies(recoveryFile()).isEmpty();
}

void TRecordForm::discardRecovery()
{
    removeRecoveryCopy(recoveryFile());
}

void TRecordForm::writeRecovery()
{
    if (!isModified()) {
        discardRecovery();
        return;
    }
    writeRecoveryCopy(recoveryFile(), m_record, m_file, m_stamp);
}

bool TRecordForm::restoreRecovery(QString* error, const QString& copy)
{
    const QString source = copy.isEmpty() ? recoveryFile() : copy;
    std::optional<Record> restored = readRecoveryCopy(source, error);
    if (!restored)
        return false;
    const RecoveryCopy note = readRecoveryNote(source);
    m_undo->clear();
    m_record = std::move(*restored);
    m_weld = m_record.welds.empty() ? -1 : 0;
    m_stamp = note.stamp;
    setFile(note.file);
    // The restored work is not saved yet: it stays unsaved until it is.
    m_undo->resetClean();
    refresh();
    writeRecovery();
    if (source != recoveryFile())
        removeRecoveryCopy(source);
    return true;
}

// ---------------------------------------------------------------------------
// The one record window of the program

namespace {

QPointer<TRecordForm>& openRecordWindow()
{
    static QPointer<TRecordForm> window;
    return window;
}

} // namespace

TRecordForm* showRecordWindow(QObject& owner, const std::filesystem::path& catalogueFile,
                              TRecordForm::WeldSource mainWindowWeld, const QString& file)
{
    QPointer<TRecordForm>& window = openRecordWindow();
    // A window closed a moment ago is on its way out: a new one is made.
    if (window && !window->isVisible())
        window = nullptr;
    if (!window) {
        // A window of its own, not a child of the main window: closing the
        // main window leaves it open with its unsaved work, and the program
        // ends once both are closed.
        window = new TRecordForm(catalogueFile, std::move(mainWindowWeld));
        QObject::connect(&owner, &QObject::destroyed, window, &QObject::deleteLater);
    }
    if (!file.isEmpty() && window->maybeSave())
        window->openFile(file);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void offerRecordRecovery(QWidget& parent, const std::function<TRecordForm*()>& showWindow)
{
    for (const QString& copy : recoveryCopiesOfEarlierRuns(TRecordForm::recoveryFile())) {
        const RecoveryAnswer answer = askAboutRecovery(&parent, readRecoveryNote(copy));
        if (answer == RecoveryAnswer::Later)
            return;
        if (answer == RecoveryAnswer::Discard) {
            removeRecoveryCopy(copy);
            continue;
        }
        TRecordForm* window = showWindow();
        QString error;
        if (!window->restoreRecovery(&error, copy)) {
            QMessageBox::warning(window, kRecordWindowTitle,
                                 QStringLiteral("Die Sicherung kann nicht gelesen werden.\n\n%1").arg(error));
            removeRecoveryCopy(copy);
        }
        return;
    }
}

} // namespace veltrano
