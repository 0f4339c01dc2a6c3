// The backup dialog with its real message boxes, and the main window's half
// of the backup command: the status bar notice and the catalogue table.

#include "backup/BackupForm.h"
#include "BackupFixture.h"
#include "catalogue/Catalogue.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace backuptest;

namespace {

const QString kNotice = QStringLiteral("Sicherungskopie der Datenbank-Dateien ");

// A small catalogue: the table ISO5817 with its eight fields and two rows.
bool writeCatalogue(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open(file.constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    const char* sql = "CREATE TABLE ISO5817 (Gruppe TEXT, tmm TEXT, \"Unregelm\xC3\xA4\xC3\x9F"
                      "igkeit\" TEXT,"
                      " OrdnungsNr TEXT, Bemerkungen TEXT, niedrigD TEXT, mittelC TEXT, hochB TEXT);"
                      "INSERT INTO ISO5817 VALUES ('1','>0,5','Risse','100','','nicht zul\xC3\xA4ssig',"
                      "'nicht zul\xC3\xA4ssig','nicht zul\xC3\xA4ssig');"
                      "INSERT INTO ISO5817 VALUES ('1','>0,5','Endkraterriss','104','','','','');";
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    return sqlite3_close(db) == SQLITE_OK && ok;
}

QString sep()
{
    return QString(kPathSeparator);
}

} // namespace

class BackupFormTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home; // the user's data folder lies in here
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program; // the program's folder, with the platform's separators
    QString m_backup;
    std::unique_ptr<veltrano::Catalogue> m_catalogue;

    std::function<void()> closeTable()
    {
        return [this] { m_catalogue->Close(); };
    }
    std::function<void()> openTable()
    {
        return [this] { m_catalogue->Open(); };
    }

    static void checkScript(const ModalScript& script)
    {
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join(QLatin1Char('\n'))));
        QVERIFY2(script.unexpected().empty(), qPrintable(script.unexpectedText()));
        QVERIFY2(script.finished(), "a window the test expected did not appear");
    }

    // "Backup" in the user's data folder, as the dialog shows it.
    static QString dataBackup()
    {
        return ::AddPathPart(
            QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
            QStringLiteral("Backup"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path()));
        QVERIFY(dataBackup().startsWith(QDir::toNativeSeparators(m_home.path())));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_program = QDir::toNativeSeparators(m_dir->path() + QStringLiteral("/Veltrano"));
        QVERIFY(QDir().mkpath(m_program));
        m_backup = m_program + sep() + QStringLiteral("Backup");
        QVERIFY(writeCatalogue(m_program + sep() + QStringLiteral("ISO5817.mdb")));
        m_catalogue = std::make_unique<veltrano::Catalogue>(
            veltrano::catalogueFileIn(QFile::encodeName(m_program).toStdString()));
        m_catalogue->Open();
        QVERIFY(m_catalogue->Active());
    }

    void cleanup()
    {
        m_catalogue.reset();
        m_dir.reset();
    }

    void AddPathPart_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("joined");

        QTest::newRow("trailing backslash") << "C:\\Veltrano\\"
                                            << "*.MDB" << QChar('\\') << "C:\\Veltrano\\*.MDB";
        QTest::newRow("no trailing backslash") << "C:\\Veltrano"
                                               << "Backup" << QChar('\\') << "C:\\Veltrano\\Backup";
        QTest::newRow("drive root") << "C:\\"
                                    << "Backup" << QChar('\\') << "C:\\Backup";
        QTest::newRow("empty folder") << ""
                                      << "*.MDB" << QChar('\\') << "\\*.MDB";
        QTest::newRow("slash, trailing") << "/opt/veltrano/"
                                         << "Backup" << QChar('/') << "/opt/veltrano/Backup";
        QTest::newRow("slash, none") << "/opt/veltrano"
                                     << "*.MDB" << QChar('/') << "/opt/veltrano/*.MDB";
        QTest::newRow("slash root") << "/"
                                    << "Backup" << QChar('/') << "/Backup";
        // Only the separator in use counts as one.
        QTest::newRow("other separator") << "C:\\Veltrano\\"
                                         << "Backup" << QChar('/') << "C:\\Veltrano\\/Backup";
    }

    void AddPathPart()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QChar, separator);
        QFETCH(QString, joined);
        QCOMPARE(::AddPathPart(dir, name, separator), joined);
    }

    void createdDialogShowsTheProgramFolder_data()
    {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::newRow("folder given without separator") << false;
        QTest::newRow("folder given with separator") << true;
    }

    void createdDialogShowsTheProgramFolder()
    {
        QFETCH(bool, trailingSeparator);
        TFormBackup form(nullptr, closeTable(), trailingSeparator ? m_program + sep() : m_program);

        QCOMPARE(form.windowTitle(), QStringLiteral("Sicherungskopie der Datenbank anlegen"));
        QCOMPARE(form.sSourceDir, m_program + sep() + "*.MDB");
        QCOMPARE(form.sTargetDir, m_program + sep() + "Backup");
        QCOMPARE(form.PanelTarget->text(), form.sTargetDir);
        QCOMPARE(form.StatusBarPath->currentMessage(), "Datenbankverzeichnis ist " + m_program + sep());
        QVERIFY(!form.StatusBarPath->isEnabled());

        QCOMPARE(form.RadioGroupTarget->title(), QStringLiteral("Ziel f\u00FCr die Sicherungskopie"));
        QCOMPARE(form.RadioHardDisk->text(), QStringLiteral("Festplatte"));
        QCOMPARE(form.RadioFloppy->text(), QStringLiteral("Diskette (Lw: A)"));
        QVERIFY(form.RadioHardDisk->isChecked());
        QVERIFY(!form.RadioFloppy->isChecked());
        QCOMPARE(form.BitBtnStart->text(), QStringLiteral("OK"));
        QCOMPARE(form.BitBtnStart->toolTip(), QStringLiteral("Datensicherung starten"));
        QVERIFY(form.BitBtnStart->isDefault());
        QCOMPARE(form.BitBtnCancel->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(form.BitBtnCancel->toolTip(), QStringLiteral("Vorgang abbrechen"));
        QCOMPARE(form.size(), QSize(431, 164));
    }

    void enterStartsTheFirstBackup()
    {
        TFormBackup form(nullptr, closeTable(), m_program);
        QString done;
        ModalScript script({
            [](QWidget* window) { pressLater(window, Qt::Key_Return); },
            answerBoxByKey(Qt::Key_Return, &done),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QVERIFY(!form.isVisible());
        QCOMPARE(entriesOf(m_backup), QStringList{"ISO5817.mdb"});
        QCOMPARE(readFile(m_backup + sep() + "ISO5817.mdb"), readFile(m_program + sep() + "ISO5817.mdb"));
        QVERIFY(!m_catalogue->Active()); // the main window opens it again
        QVERIFY(form.BitBtnStart->isEnabled());
        QVERIFY(form.BitBtnCancel->isEnabled());
        // The user learns that it is done, and where the copy is.
        QVERIFY2(done.startsWith(QStringLiteral("Hinweis\nDie Sicherungskopie ist angelegt")), qPrintable(done));
        QVERIFY2(done.contains(m_backup), qPrintable(done));
    }

    // The second backup asks before it replaces the earlier copy.  The
    // question is the window in front, with the focus on "Ja", however long
    // the user takes to read it: no progress window comes up over it.  The
    // table is closed and both buttons are disabled meanwhile; the closing
    // notice tells what became of the earlier copy.
    void secondBackupAsksBeforeReplacing_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QString>("notice");
        QTest::newRow("Enter is Ja and replaces it")
            << true << int(Qt::Key_Return) << "" << true << "Die Sicherungskopie ist angelegt: 1 Datei";
        QTest::newRow("click on Nein keeps the earlier copy")
            << false << 0 << "&Nein" << false << "ISO5817.mdb: die fr\u00FChere Sicherungskopie bleibt";
        QTest::newRow("click on Ja, alle replaces it")
            << false << 0 << "Ja, &alle" << true << "Die Sicherungskopie ist angelegt: 1 Datei";
        QTest::newRow("Esc is Abbrechen and keeps it") << true << int(Qt::Key_Escape) << "" << false << "abgebrochen";
    }

    void secondBackupAsksBeforeReplacing()
    {
        QFETCH(bool, byKey);
        QFETCH(int, key);
        QFETCH(QString, button);
        QFETCH(bool, replaced);
        QFETCH(QString, notice);
        QVERIFY(QDir().mkpath(m_backup));
        QVERIFY(writeFile(m_backup + sep() + "ISO5817.mdb", "earlier backup"));

        TFormBackup form(nullptr, closeTable(), m_program);
        QString question;
        QString done;
        bool closedWhileAsking = false;
        bool buttonsDisabled = false;
        bool focusOnJa = false;
        bool progressHidden = false;
        const auto whileAsking = [&] {
            const QWidget* progress = form.findChild<QWidget*>(QStringLiteral("ProgressBackup"));
            progressHidden = !progress || !progress->isVisible();
            closedWhileAsking = !m_catalogue->Active();
            buttonsDisabled = !form.BitBtnStart->isEnabled() && !form.BitBtnCancel->isEnabled();
            auto* focus = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            focusOnJa = focus && focus->text() == QStringLiteral("&Ja");
        };
        ModalScript script({
            [](QWidget* window) {
                QVERIFY(qobject_cast<TFormBackup*>(window));
                clickLater(static_cast<TFormBackup*>(window)->BitBtnStart);
            },
            byKey ? answerBoxByKey(Qt::Key(key), &question, whileAsking)
                  : answerBoxByClick(button, &question, whileAsking),
            answerBoxByKey(Qt::Key_Return, &done),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QVERIFY2(question.startsWith(QStringLiteral("Ersetzen von Dateien best\u00E4tigen\n")), qPrintable(question));
        QVERIFY2(question.contains("ISO5817.mdb"), qPrintable(question));
        QVERIFY(closedWhileAsking);
        QVERIFY(buttonsDisabled);
        QVERIFY(focusOnJa);
        QVERIFY(progressHidden);
        QCOMPARE(readFile(m_backup + sep() + "ISO5817.mdb"),
                 replaced ? readFile(m_program + sep() + "ISO5817.mdb") : QByteArray("earlier backup"));
        QCOMPARE(entriesOf(m_backup), QStringList{"ISO5817.mdb"});
        QVERIFY2(done.contains(notice), qPrintable(done));
    }

    // An error during the copy is the window in front as well; Enter takes
    // it away and the copy goes on with the next file.
    void errorBoxIsInFrontAndTheCopyGoesOn()
    {
        QVERIFY(writeFile(m_program + sep() + "Alt.mdb", QByteArray(600 * 1024, 'a')));
        QVERIFY(QDir().mkpath(m_backup + sep() + "Alt.mdb")); // a folder where the copy should go

        TFormBackup form(nullptr, closeTable(), m_program);
        QString error;
        QString done;
        ModalScript script({
            [](QWidget* window) { pressLater(window, Qt::Key_Return); },
            answerBoxByKey(Qt::Key_Return, &error),
            answerBoxByKey(Qt::Key_Return, &done),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QVERIFY2(error.contains(QStringLiteral("Alt.mdb")), qPrintable(error));
        QCOMPARE(readFile(m_backup + sep() + "ISO5817.mdb"), readFile(m_program + sep() + "ISO5817.mdb"));
        QVERIFY2(done.contains(QStringLiteral("1 Datei")), qPrintable(done));
        QVERIFY2(done.contains(QStringLiteral("nicht kopiert")), qPrintable(done));
    }

    // The progress window shows while a file is copied, and its own
    // "Abbrechen", clicked there, stops the copy before the earlier backup
    // is touched.
    void progressCancelKeepsTheEarlierBackup()
    {
        QVERIFY(writeFile(m_program + sep() + "Gross.mdb", QByteArray(32 * 1024 * 1024, 'n')));
        QVERIFY(QDir().mkpath(m_backup));
        QVERIFY(writeFile(m_backup + sep() + "Gross.mdb", "earlier backup"));

        TFormBackup form(nullptr, closeTable(), m_program);
        bool progressSeen = false;
        // The progress window needs no step; a click on its cancel button
        // is sent once it has come up.
        QTimer watch;
        connect(&watch, &QTimer::timeout, &form, [&] {
            QWidget* front = QApplication::activeModalWidget();
            if (progressSeen || !front || front->objectName() != QLatin1String("ProgressBackup"))
                return;
            progressSeen = true;
            for (QPushButton* button : front->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Abbrechen"))
                    clickLater(button);
        });
        watch.start(1);
        QString done;
        ModalScript script({
            [](QWidget* window) { clickLater(static_cast<TFormBackup*>(window)->BitBtnStart); },
            answerBoxByKey(Qt::Key_Return), // replace Gross.mdb
            answerBoxByKey(Qt::Key_Return, &done),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QVERIFY(progressSeen);
        QVERIFY(form.lastOutcome().cancelled);
        QCOMPARE(readFile(m_backup + sep() + "Gross.mdb"), QByteArray("earlier backup"));
        QCOMPARE(entriesOf(m_backup), QStringList{"Gross.mdb"});
        QVERIFY(form.findChild<QWidget*>(QStringLiteral("ProgressBackup")) == nullptr);
        QVERIFY2(done.contains(QStringLiteral("abgebrochen")), qPrintable(done));
    }

    void floppyTargetIgnoresThePanel()
    {
        if (veltrano::HasDriveLetters())
            QSKIP("this system has drive letters; drive A: may exist");
        TFormBackup form(nullptr, closeTable(), m_program);
        QString error;
        ModalScript script({
            [](QWidget* window) {
                auto* form = qobject_cast<TFormBackup*>(window);
                QVERIFY(form);
                clickLater(form->RadioFloppy);
                clickLater(form->BitBtnStart);
            },
            answerBoxByKey(Qt::Key_Return, &error),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QCOMPARE(form.aSI.target, QStringLiteral("A:\\"));
        QCOMPARE(form.PanelTarget->text(), form.sTargetDir);
        QVERIFY2(error.contains(QStringLiteral("Laufwerk A: ist nicht verf\u00FCgbar")), qPrintable(error));
        QCOMPARE(entriesOf(m_program), QStringList{"ISO5817.mdb"});
    }

    // The folder that must take the copies is "Backup" when it exists, else
    // the program's folder, where it would be made.
    void backupGoesWhereFilesCanBeMade_data()
    {
        QTest::addColumn<bool>("backupExists");
        QTest::addColumn<bool>("programTakesFiles");
        QTest::addColumn<bool>("backupTakesFiles");
        QTest::addColumn<bool>("beside");
        QTest::newRow("program folder open") << false << true << false << true;
        QTest::newRow("program folder shut: the data folder") << false << false << false << false;
        QTest::newRow("Backup made for the users in a shut folder") << true << false << true << true;
        QTest::newRow("Backup shut in an open folder: the data folder") << true << true << false << false;
    }

    void backupGoesWhereFilesCanBeMade()
    {
        QFETCH(bool, backupExists);
        QFETCH(bool, programTakesFiles);
        QFETCH(bool, backupTakesFiles);
        QFETCH(bool, beside);
        if (backupExists)
            QVERIFY(QDir().mkpath(m_backup));
        QStringList asked;
        const WritableProbe writable = [&](const QString& dir) {
            asked << dir;
            return dir == m_backup ? backupTakesFiles : dir == m_program + sep() && programTakesFiles;
        };

        TFormBackup form(nullptr, closeTable(), m_program, writable);
        QCOMPARE(form.sTargetDir, beside ? m_backup : dataBackup());
        QCOMPARE(form.PanelTarget->text(), form.sTargetDir);
        QCOMPARE(asked, QStringList{backupExists ? m_backup : m_program + sep()});
        // The source stays the program's folder.
        QCOMPARE(form.sSourceDir, m_program + sep() + "*.MDB");
        QCOMPARE(form.StatusBarPath->currentMessage(), "Datenbankverzeichnis ist " + m_program + sep());
    }

    // From a folder that takes no files the backup lands in the user's data
    // folder, which is made as needed, and the closing notice says so.
    void backupIntoTheDataFolder()
    {
        TFormBackup form(nullptr, closeTable(), m_program, [](const QString&) { return false; });
        QString done;
        ModalScript script({
            [](QWidget* window) { pressLater(window, Qt::Key_Return); },
            answerBoxByKey(Qt::Key_Return, &done),
        });
        QCOMPARE(form.exec(), int(QDialog::Accepted));
        checkScript(script);

        QCOMPARE(readFile(dataBackup() + sep() + "ISO5817.mdb"), readFile(m_program + sep() + "ISO5817.mdb"));
        QCOMPARE(entriesOf(m_program), QStringList{"ISO5817.mdb"});
        QVERIFY2(done.contains(dataBackup()), qPrintable(done));
        QVERIFY(QDir(dataBackup()).removeRecursively());
    }

    void probeMakesAFileAndLeavesNone()
    {
        QVERIFY(FolderIsWritable(m_program));
        QCOMPARE(entriesOf(m_program), QStringList{"ISO5817.mdb"});
        QVERIFY(!FolderIsWritable(m_program + sep() + "missing"));
    }

    void probeSeesAShutFolder()
    {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permission bits do not bind the administrator; the decision is tested with given answers");
        const QString shut = m_program + sep() + "shut";
        QVERIFY(QDir().mkpath(shut));
        QVERIFY(QFile::setPermissions(shut, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther));
        const bool writable = FolderIsWritable(shut);
        QFile::setPermissions(shut, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!writable);
        QCOMPARE(entriesOf(shut), QStringList{});
#else
        QSKIP("folder permissions of this kind exist on Unix only");
#endif
    }

    void escapeCopiesNothing()
    {
        TFormBackup form(nullptr, closeTable(), m_program);
        ModalScript script({[](QWidget* window) { pressLater(window, Qt::Key_Escape); }});
        QCOMPARE(form.exec(), int(QDialog::Rejected));
        checkScript(script);
        QVERIFY(m_catalogue->Active());
        QCOMPARE(entriesOf(m_program), QStringList{"ISO5817.mdb"});
    }

    // The main window's command, on a stand-in window with two panels.
    void commandShowsTheNoticeAndReopensTheTable()
    {
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* statusBar = new QStatusBar(&window);
        layout->addWidget(statusBar);
        auto* hints = new QLabel(QStringLiteral("Nahtma\u00DFe w\u00E4hlen"));
        auto* position = new QLabel(QStringLiteral("DSNr: 2  von 2"));
        statusBar->addWidget(hints, 1);
        statusBar->addPermanentWidget(position);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        m_catalogue->Next();
        int notified = 0;
        m_catalogue->setDataChangeHandler([&] { ++notified; });

        QString shownNotice;
        bool panelsHidden = false;
        ModalScript script({
            [&](QWidget* dialog) {
                shownNotice = statusBar->currentMessage();
                panelsHidden = hints->isHidden() && position->isHidden();
                QVERIFY(dialog->parentWidget() == &window);
                clickLater(static_cast<TFormBackup*>(dialog)->BitBtnStart);
            },
            answerBoxByKey(Qt::Key_Return),
        });
        QCOMPARE(RunBackupDialog(&window, statusBar, closeTable(), openTable(), m_program), int(QDialog::Accepted));
        checkScript(script);

        QCOMPARE(shownNotice, kNotice);
        QVERIFY(panelsHidden);
        QVERIFY(statusBar->currentMessage().isEmpty());
        QVERIFY(hints->isVisible() && position->isVisible());
        QCOMPARE(hints->text(), QStringLiteral("Nahtma\u00DFe w\u00E4hlen"));
        QCOMPARE(position->text(), QStringLiteral("DSNr: 2  von 2"));
        QVERIFY(m_catalogue->Active());
        QCOMPARE(m_catalogue->RecNo(), 1); // opened anew on its first row
        QCOMPARE(notified, 1);
        QCOMPARE(entriesOf(m_backup), QStringList{"ISO5817.mdb"});
        QVERIFY(window.findChildren<TFormBackup*>().isEmpty()); // released after use
    }

    void cancelledCommandLeavesTheTableAndStartsFreshNextTime()
    {
        QStatusBar statusBar;
        m_catalogue->Next();
        int notified = 0;
        m_catalogue->setDataChangeHandler([&] { ++notified; });

        bool freshChoice = false;
        ModalScript script({
            [](QWidget* dialog) {
                auto* form = static_cast<TFormBackup*>(dialog);
                clickLater(form->RadioFloppy);
                clickLater(form->BitBtnCancel);
            },
            [&](QWidget* dialog) {
                auto* form = static_cast<TFormBackup*>(dialog);
                freshChoice = form->RadioHardDisk->isChecked();
                clickLater(form->BitBtnCancel);
            },
        });
        QCOMPARE(RunBackupDialog(nullptr, &statusBar, closeTable(), openTable(), m_program), int(QDialog::Rejected));
        QCOMPARE(RunBackupDialog(nullptr, &statusBar, closeTable(), openTable(), m_program), int(QDialog::Rejected));
        checkScript(script);

        QVERIFY(freshChoice);
        QVERIFY(m_catalogue->Active());
        QCOMPARE(m_catalogue->RecNo(), 2); // never closed, so still on its row
        QCOMPARE(notified, 0);
        QVERIFY(!QFileInfo::exists(m_backup));
    }

    // The catalogue vanished meanwhile: no file to copy, and the table
    // cannot be opened again.  Both are reported; nothing escapes the command.
    void tableThatCannotBeReopenedIsReported()
    {
        QStatusBar statusBar;
        QString copyError;
        QString openError;
        ModalScript script({
            [&](QWidget* dialog) {
                QVERIFY(QFile::remove(m_program + sep() + "ISO5817.mdb"));
                clickLater(static_cast<TFormBackup*>(dialog)->BitBtnStart);
            },
            answerBoxByKey(Qt::Key_Return, &copyError),
            answerBoxByKey(Qt::Key_Return, &openError),
        });
        QCOMPARE(RunBackupDialog(nullptr, &statusBar, closeTable(), openTable(), m_program), int(QDialog::Accepted));
        checkScript(script);

        QVERIFY2(copyError.contains("*.MDB"), qPrintable(copyError));
        QVERIFY2(openError.contains("ISO5817.mdb"), qPrintable(openError));
        QVERIFY(!m_catalogue->Active());
        QVERIFY(statusBar.currentMessage().isEmpty());
    }
};

QTEST_MAIN(BackupFormTest)
#include "BackupFormTest.moc"
