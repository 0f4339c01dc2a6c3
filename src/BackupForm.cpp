#include "BackupForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>

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

QString AddPathPart(const QString& dir, const QString& name, QChar separator)
{
    if (dir.endsWith(separator))
        return dir + name;
    return dir + separator + name;
}

TFormBackup::TFormBackup(QWidget* parent, std::function<void()> closeTable, const QString& programDir)
    : QDialog(parent), m_closeTable(std::move(closeTable)), m_programDir(programDir)
{
    setObjectName(QStringLiteral("FormBackup"));
    setWindowTitle(QStringLiteral("Sicherungskopie der Datenbank anlegen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
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
    BitBtnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                   QStringLiteral("Abbrechen"), this);
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
    QString folder = QDir::toNativeSeparators(
        m_programDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_programDir);
    if (!folder.endsWith(kPathSeparator))
        folder += kPathSeparator;
    sSourceDir = folder;
    StatusBarPath->showMessage(QStringLiteral("Datenbankverzeichnis ist %1").arg(folder));
    sTargetDir = AddPathPart(folder, QStringLiteral("Backup"));
    sSourceDir = AddPathPart(folder, QStringLiteral("*.MDB"));
    PanelTarget->setText(sTargetDir);
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
    m_progress = new QProgressDialog(this);
    m_progress->setObjectName(QStringLiteral("ProgressBackup"));
    m_progress->setWindowTitle(title);
    m_progress->setCancelButtonText(QStringLiteral("Abbrechen"));
    m_progress->setRange(0, kProgressSteps);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->setMinimumDuration(400);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setValue(0);
}

bool TFormBackup::copyProgress(const QString& file, qint64 bytesDone)
{
    if (!m_progress)
        return true;
    if (file != m_progressFile) {
        m_progressFile = file;
        m_progress->setLabelText(QStringLiteral("Kopiere \"%1\" nach \"%2\"")
                                     .arg(file, QDir::toNativeSeparators(aSI.target)));
    }
    const int step = m_totalBytes > 0 ? static_cast<int>(bytesDone * kProgressSteps / m_totalBytes) : 0;
    // setValue of a modal progress window handles pending events, which
    // keeps the program responsive and lets the cancel button be pressed.
    m_progress->setValue(qBound(0, step, kProgressSteps));
    return !m_progress->wasCanceled();
}

void TFormBackup::copyFinished()
{
    if (!m_progress)
        return;
    m_progress->hide();
    delete m_progress;
    m_progress = nullptr;
}

veltrano::CopyInteraction::ReplaceAnswer TFormBackup::confirmReplace(const QString& existing, const QString& source)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ersetzen von Dateien best\u00E4tigen"),
                    QStringLiteral("Im Zielordner gibt es die Datei \"%1\" bereits.")
                        .arg(QFileInfo(existing).fileName()),
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
    QMessageBox box(QMessageBox::Critical, kProgressTitle, message, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("CopyError"));
    box.exec();
}

namespace {

// While it lives, the status bar shows one notice across its whole width in
// place of its panels; afterwards the panels come back with their texts.
class StatusNotice {
public:
    StatusNotice(QStatusBar* bar, const QString& notice) : m_bar(bar)
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
