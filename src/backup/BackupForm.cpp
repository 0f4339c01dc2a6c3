#include "backup/BackupForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <exception>
#include <utility>
#include <vector>

namespace {

const QString kProgressTitle = QStringLiteral("Datenbank-Sicherungskopie");

// The progress bar counts in thousandths, whatever the size of the files.
constexpr int kProgressSteps = 1000;

QString describe(const QString& path)
{
    const QFileInfo info(path);
    return QStringLiteral("%1\n    %2 Bytes, ge\u00E4ndert am %3")
        .arg(QDir::toNativeSeparators(path), QLocale().toString(info.size()),
             QLocale().toString(info.lastModified(), QLocale::ShortFormat));
}

} // namespace

TBackupProgress::TBackupProgress(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressBackup"));
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    LabelFile = new QLabel(this);
    LabelFile->setObjectName(QStringLiteral("LabelFile"));
    LabelFile->setMinimumWidth(360);
    LabelFile->setWordWrap(true);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kProgressSteps);
    ProgressBar1->setValue(0);
    ProgressBar1->setAccessibleName(QStringLiteral("Fortschritt der Sicherungskopie"));
    BitBtnStop = new QPushButton(QStringLiteral("Abbrechen"), this);
    BitBtnStop->setObjectName(QStringLiteral("BitBtnStop"));
    BitBtnStop->setToolTip(QStringLiteral("Sicherungskopie abbrechen"));
    // Enter does not stop a copy: a key meant for a question that has just
    // closed must not reach this button.
    BitBtnStop->setAutoDefault(false);
    BitBtnStop->setDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LabelFile);
    layout->addWidget(ProgressBar1);
    layout->addWidget(BitBtnStop, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtnStop, &QPushButton::clicked, this, &TBackupProgress::reject);
}

void TBackupProgress::reject()
{
    m_stopped = true;
    LabelFile->setText(QStringLiteral("Die Sicherungskopie wird abgebrochen ..."));
    BitBtnStop->setEnabled(false);
}

QString BackupSummary(const veltrano::CopyOutcome& outcome, const QString& target)
{
    if (outcome.copied == 0 && outcome.skipped == 0 && !outcome.cancelled)
        return {};
    const QString where = QDir::toNativeSeparators(target);
    QStringList parts;
    if (outcome.cancelled) {
        const QString done = outcome.copied == 0   ? QStringLiteral("wurde keine Datei")
                             : outcome.copied == 1 ? QStringLiteral("wurde 1 Datei")
                                                   : QStringLiteral("wurden %1 Dateien").arg(outcome.copied);
        parts << QStringLiteral("Die Sicherungskopie wurde abgebrochen. Bis dahin %1 nach \"%2\" kopiert; "
                                "alle anderen Dateien dort bleiben, wie sie waren.")
                     .arg(done, where);
    } else if (outcome.copied == 0) {
        parts << QStringLiteral("Die Sicherungskopie ist beendet: keine Datei wurde nach \"%1\" kopiert.").arg(where);
    } else {
        const QString done = outcome.copied == 1 ? QStringLiteral("1 Datei wurde")
                                                 : QStringLiteral("%1 Dateien wurden").arg(outcome.copied);
        parts << QStringLiteral("Die Sicherungskopie ist angelegt: %1 nach \"%2\" kopiert.").arg(done, where);
    }
    if (!outcome.kept.isEmpty()) {
        QStringList lines;
        for (const QString& name : outcome.kept)
            lines << QStringLiteral("%1: die fr\u00FChere Sicherungskopie bleibt").arg(name);
        parts << QStringLiteral("Nicht ersetzt:\n") + lines.join(QLatin1Char('\n'));
    }
    if (outcome.failed > 0)
        parts << (outcome.failed == 1
                      ? QStringLiteral("1 Datei wurde wegen eines Fehlers nicht kopiert.")
                      : QStringLiteral("%1 Dateien wurden wegen eines Fehlers nicht kopiert.").arg(outcome.failed));
    return parts.join(QStringLiteral("\n\n"));
}

QString AddPathPart(const QString& dir, const QString& name, QChar separator)
{
    if (dir.endsWith(separator))
        return dir + name;
    return dir + separator + name;
}

bool FolderIsWritable(const QString& dir)
{
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".Veltrano-XXXXXX.tmp")));
    return probe.open(); // removed again when the probe goes
}

QString BackupTargetFor(const QString& programDir, const WritableProbe& writable)
{
    const QString beside = AddPathPart(programDir, QStringLiteral("Backup"));
    const QFileInfo backup(beside);
    const bool takesFiles = backup.isDir() ? writable(beside) : !backup.exists() && writable(programDir);
    if (takesFiles)
        return beside;
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataDir.isEmpty())
        return beside; // no data folder either: the copy will say why it fails
    return AddPathPart(QDir::toNativeSeparators(dataDir), QStringLiteral("Backup"));
}

TFormBackup::TFormBackup(QWidget* parent, std::function<void()> closeTable, const QString& programDir,
                         WritableProbe writable)
    : QDialog(parent)
    , m_closeTable(std::move(closeTable))
    , m_programDir(programDir)
    , m_writable(std::move(writable))
{
    setObjectName(QStringLiteral("FormBackup"));
    setWindowTitle(QStringLiteral("Sicherungskopie der Datenbank anlegen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setFixedSize(431, 164);
    move(235, 181);

    RadioGroupTarget = new QGroupBox(QStringLiteral("Ziel f\u00FCr die Sicherungskopie"), this);
    RadioGroupTarget->setObjectName(QStringLiteral("RadioGroupTarget"));
    RadioGroupTarget->setGeometry(8, 8, 409, 73);
    RadioGroupTarget->setToolTip(
        QStringLiteral("Wohin sollen die Datenbankdateien als Sicherheitskopie kopiert werden?"));
    RadioHardDisk = new QRadioButton(QStringLiteral("Festplatte"), RadioGroupTarget);
    RadioHardDisk->setObjectName(QStringLiteral("RadioHardDisk"));
    RadioHardDisk->setGeometry(8, 18, 75, 17);
    RadioHardDisk->setChecked(true);
    RadioFloppy = new QRadioButton(QStringLiteral("Diskette (Lw: A)"), RadioGroupTarget);
    RadioFloppy->setObjectName(QStringLiteral("RadioFloppy"));
    RadioFloppy->setGeometry(8, 46, 200, 17);

    // The panel lies over the radio group, beside "Festplatte".
    PanelTarget = new QLabel(this);
    PanelTarget->setObjectName(QStringLiteral("PanelTarget"));
    PanelTarget->setGeometry(91, 24, 319, 21);
    PanelTarget->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(12);
    PanelTarget->setFont(panelFont);
    QPalette panelPalette = PanelTarget->palette();
    panelPalette.setColor(QPalette::WindowText, Qt::black);
    PanelTarget->setPalette(panelPalette);
    PanelTarget->raise();

    BitBtnStart = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtnStart->setObjectName(QStringLiteral("BitBtnStart"));
    BitBtnStart->setGeometry(104, 104, 90, 25);
    BitBtnStart->setToolTip(QStringLiteral("Datensicherung starten"));
    BitBtnStart->setDefault(true);
    BitBtnCancel =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Abbrechen"), this);
    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    BitBtnCancel->setGeometry(208, 104, 90, 25);
    BitBtnCancel->setToolTip(QStringLiteral("Vorgang abbrechen"));
    BitBtnCancel->setAutoDefault(false);

    StatusBarPath = new QStatusBar(this);
    StatusBarPath->setObjectName(QStringLiteral("StatusBarPath"));
    StatusBarPath->setSizeGripEnabled(false);
    StatusBarPath->setGeometry(0, 164 - 19, 431, 19);
    StatusBarPath->setEnabled(false);

    connect(BitBtnStart, &QPushButton::clicked, this, &TFormBackup::BitBtnStartClick);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TFormBackup::reject);

    FormCreate();
}

TFormBackup::~TFormBackup() = default;

void TFormBackup::FormCreate()
{
    QString folder =
        QDir::toNativeSeparators(m_programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_programDir);
    if (!folder.endsWith(kPathSeparator))
        folder += kPathSeparator;
    sSourceDir = folder;
    StatusBarPath->showMessage(QStringLiteral("Datenbankverzeichnis ist %1").arg(folder));
    sTargetDir = BackupTargetFor(folder, m_writable ? m_writable : WritableProbe(FolderIsWritable));
    sSourceDir = AddPathPart(folder, QStringLiteral("*.MDB"));
    PanelTarget->setText(sTargetDir);
    PanelTarget->setToolTip(sTargetDir); // a long folder does not fit the panel
}

void TFormBackup::BitBtnStartClick()
{
    if (m_copying)
        return;
    aSI.source = sSourceDir;
    aSI.target = RadioFloppy->isChecked() ? QStringLiteral("A:\\") : sTargetDir;
    aSI.progressTitle = kProgressTitle;

    BitBtnStart->setEnabled(false);
    BitBtnCancel->setEnabled(false);
    m_copying = true;
    {
        // The buttons come back, and the progress window goes, however the
        // copy ends.
        struct Idle {
            TFormBackup* form;
            ~Idle()
            {
                form->copyFinished();
                form->m_copying = false;
                form->BitBtnStart->setEnabled(true);
                form->BitBtnCancel->setEnabled(true);
            }
        } idle{this};

        // The database file must not be in use while it is copied.
        if (m_closeTable)
            m_closeTable();
        m_outcome = veltrano::CopyFiles(aSI, *this);
    }
    // The user hears that the copy has ended and what became of the earlier
    // copies; without this a kept copy would look like a fresh one.
    if (const QString summary = BackupSummary(m_outcome, aSI.target); !summary.isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Hinweis"), summary, QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("BackupDone"));
        box.exec();
    }
    accept();
}

void TFormBackup::reject()
{
    // The dialog stays while its copy runs; the progress window has the cancel.
    if (m_copying)
        return;
    QDialog::reject();
}

void TFormBackup::closeEvent(QCloseEvent* event)
{
    if (m_copying) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormBackup::copyStarted(const QString& title, int, qint64 totalBytes)
{
    copyFinished();
    m_totalBytes = totalBytes;
    m_progressFile.clear();
    m_fileStart = 0;
    m_progress = new TBackupProgress(title, this);
}

bool TFormBackup::copyProgress(const QString& file, qint64 bytesDone)
{
    if (!m_progress)
        return true;
    if (file != m_progressFile) {
        // A new file: a question about it may come first, so the window
        // waits until its bytes are moving.
        m_progressFile = file;
        m_fileStart = bytesDone;
        m_progress->LabelFile->setText(
            QStringLiteral("Kopiere \"%1\" nach \"%2\"").arg(file, QDir::toNativeSeparators(aSI.target)));
    }
    const int step = m_totalBytes > 0 ? static_cast<int>(bytesDone * kProgressSteps / m_totalBytes) : 0;
    m_progress->ProgressBar1->setValue(qBound(0, step, kProgressSteps));
    if (bytesDone > m_fileStart && !m_progress->isVisible() && !m_progress->stopped()) {
        m_progress->show();
        m_progress->raise();
        m_progress->activateWindow();
    }
    // The copy runs in this thread: pending events keep the windows drawn
    // and let the user stop it.
    QCoreApplication::processEvents();
    return !m_progress->stopped();
}

void TFormBackup::copyFinished()
{
    if (!m_progress)
        return;
    m_progress->hide();
    delete m_progress;
    m_progress = nullptr;
}

void TFormBackup::hideProgress()
{
    if (m_progress)
        m_progress->hide();
}

veltrano::CopyInteraction::ReplaceAnswer TFormBackup::confirmReplace(const QString& existing, const QString& source)
{
    // The question is the window in front; the progress comes back with the
    // next bytes copied.
    hideProgress();
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("Ersetzen von Dateien best\u00E4tigen"),
        QStringLiteral("Im Zielordner gibt es die Datei \"%1\" bereits.").arg(QFileInfo(existing).fileName()),
        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("ConfirmReplace"));
    box.setInformativeText(QStringLiteral("Soll die vorhandene Datei\n%1\n\ndurch diese ersetzt werden?\n%2")
                               .arg(describe(existing), describe(source)));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::YesToAll)->setText(QStringLiteral("Ja, &alle"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return ReplaceAnswer::Yes;
    case QMessageBox::YesToAll:
        return ReplaceAnswer::YesToAll;
    case QMessageBox::No:
        return ReplaceAnswer::No;
    default:
        return ReplaceAnswer::Cancel;
    }
}

void TFormBackup::reportError(const QString&, const QString& message)
{
    hideProgress();
    QMessageBox box(QMessageBox::Critical, kProgressTitle, message, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("CopyError"));
    box.exec();
}

namespace {

// While it lives, the status bar shows one notice across its whole width in
// place of its panels; afterwards the panels come back with their texts.
class StatusNotice {
public:
    StatusNotice(QStatusBar* bar, const QString& notice)
        : m_bar(bar)
    {
        if (!m_bar)
            return;
        for (QWidget* panel : m_bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!panel->isHidden()) {
                m_hidden.emplace_back(panel);
                panel->hide();
            }
        }
        m_bar->showMessage(notice);
    }
    ~StatusNotice() { restore(); }

    void restore()
    {
        if (!m_bar)
            return;
        m_bar->clearMessage();
        for (const QPointer<QWidget>& panel : m_hidden)
            if (panel)
                panel->show();
        m_hidden.clear();
        m_bar = nullptr;
    }

private:
    QPointer<QStatusBar> m_bar;
    std::vector<QPointer<QWidget>> m_hidden;
};

} // namespace

int RunBackupDialog(QWidget* parent, QStatusBar* statusBar, std::function<void()> closeTable,
                    std::function<void()> openTable, const QString& programDir)
{
    StatusNotice notice(statusBar, QStringLiteral("Sicherungskopie der Datenbank-Dateien "));
    int result = QDialog::Rejected;
    {
        // A fresh dialog each time, so the target always starts at "Festplatte".
        TFormBackup form(parent, std::move(closeTable), programDir);
        result = form.exec();
    }
    notice.restore();

    // Opening an open table changes nothing; after a copy it is read anew.
    try {
        if (openTable)
            openTable();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler"), QString::fromUtf8(error.what()),
                        QMessageBox::Ok, parent);
        box.exec();
    }
    return result;
}
