#include "recordwindow/RecordFileQuestions.h"

#include "record/RecordFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace veltrano {

namespace {

const QString kTitle = QStringLiteral("Prüfprotokoll");

QPushButton* addButton(QMessageBox& box, const QString& text, QMessageBox::ButtonRole role)
{
    QPushButton* button = box.addButton(text, role);
    button->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return button;
}

} // namespace

RefusedSaveAnswer askAboutRefusedSave(QWidget* parent, const QString& fileName, const record::SaveError& error)
{
    const bool changed = error.kind() == record::SaveError::Kind::ChangedSinceLoaded;
    const QString name = QFileInfo(fileName).fileName();
    QMessageBox box(changed ? QMessageBox::Question : QMessageBox::Warning, kTitle,
                    changed ? QStringLiteral("Die Datei »%1« wurde inzwischen außerhalb des Programms geändert.\n"
                                             "Beim Überschreiben gehen diese Änderungen verloren.")
                                  .arg(name)
                            : QStringLiteral("Das Prüfprotokoll kann nicht gespeichert werden.\n\n%1\n\n"
                                             "Es kann unter einem anderen Namen gespeichert werden.")
                                  .arg(QString::fromUtf8(error.what())),
                    QMessageBox::NoButton, parent);
    box.setObjectName(changed ? QStringLiteral("ChangedFileQuestion") : QStringLiteral("ReadOnlyFileQuestion"));
    QPushButton* overwrite =
        changed ? addButton(box, QStringLiteral("Über&schreiben"), QMessageBox::DestructiveRole) : nullptr;
    QPushButton* saveAs = addButton(box, QStringLiteral("Speichern &unter…"), QMessageBox::AcceptRole);
    QPushButton* cancel = addButton(box, QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(saveAs);
    box.setEscapeButton(cancel);
    box.exec();
    if (overwrite && box.clickedButton() == overwrite)
        return RefusedSaveAnswer::Overwrite;
    return box.clickedButton() == saveAs ? RefusedSaveAnswer::SaveAs : RefusedSaveAnswer::Cancel;
}

RecoveryAnswer askAboutRecovery(QWidget* parent, const RecoveryCopy& copy)
{
    const QString order = copy.order.isEmpty() ? QStringLiteral("ohne Auftragsnummer") : copy.order;
    const QString file =
        copy.file.isEmpty() ? QStringLiteral("noch nicht gespeichert") : QDir::toNativeSeparators(copy.file);
    const QString when = copy.made.toString(QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"));
    for (;;) {
        QMessageBox box(QMessageBox::Question, kTitle,
                        QStringLiteral("Ein Prüfprotokoll wurde beim letzten Mal nicht gespeichert.\n\n"
                                       "Auftrag: %1\nDatei: %2\nGesichert: %3\n\n"
                                       "Soll es wiederhergestellt werden? „Später“ behält die Sicherung und "
                                       "fragt beim nächsten Start wieder.")
                            .arg(order, file, when),
                        QMessageBox::NoButton, parent);
        box.setObjectName(QStringLiteral("RecoveryQuestion"));
        QPushButton* restore = addButton(box, QStringLiteral("&Wiederherstellen"), QMessageBox::AcceptRole);
        QPushButton* later = addButton(box, QStringLiteral("&Später"), QMessageBox::RejectRole);
        QPushButton* discard = addButton(box, QStringLiteral("&Verwerfen"), QMessageBox::DestructiveRole);
        box.setDefaultButton(restore);
        box.setEscapeButton(later);
        box.exec();
        if (box.clickedButton() == restore)
            return RecoveryAnswer::Restore;
        if (box.clickedButton() != discard)
            return RecoveryAnswer::Later;

        QMessageBox sure(QMessageBox::Warning, kTitle,
                         QStringLiteral("Die ungespeicherte Arbeit (Auftrag: %1, gesichert %2) endgültig "
                                        "verwerfen?\nDas lässt sich nicht rückgängig machen.")
                             .arg(order, when),
                         QMessageBox::NoButton, parent);
        sure.setObjectName(QStringLiteral("DiscardRecoveryQuestion"));
        QPushButton* yes = addButton(sure, QStringLiteral("&Verwerfen"), QMessageBox::DestructiveRole);
        QPushButton* no = addButton(sure, QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        sure.setDefaultButton(no);
        sure.setEscapeButton(no);
        sure.exec();
        if (sure.clickedButton() == yes)
            return RecoveryAnswer::Discard;
    }
}

} // namespace veltrano
