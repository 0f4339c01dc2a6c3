// The copy of the database files, answered directly instead of by message boxes.

#include "backup/BackupCopy.h"
#include "BackupFixture.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace backuptest;
using veltrano::CopyInteraction;
using Answer = veltrano::CopyInteraction::ReplaceAnswer;

namespace {

struct Error {
    QString file;
    QString message;
};

class ScriptedInteraction : public CopyInteraction {
public:
    std::deque<Answer> answers; // one per question; running out is a fault
    QStringList asked;          // names of the files the copy asked about
    QList<Error> errors;
    int started = 0;
    int finished = 0;
    std::function<bool(const QString&, qint64)> onProgress; // false stops the copy

    void copyStarted(const QString&, int, qint64) override { ++started; }
    bool copyProgress(const QString& file, qint64 bytesDone) override
    {
        return onProgress ? onProgress(file, bytesDone) : true;
    }
    void copyFinished() override { ++finished; }
    Answer confirmReplace(const QString& existing, const QString&) override
    {
        asked << QFileInfo(existing).fileName();
        if (answers.empty()) {
            errors.append({existing, QStringLiteral("question without an answer")});
            return Answer::Cancel;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void reportError(const QString& file, const QString& message) override { errors.append({file, message}); }
};

QByteArray bigContent(char fill)
{
    // Several copy chunks long, so a copy can be stopped or fail half-way.
    return QByteArray(1024 * 1024 + 17, fill);
}

} // namespace

class BackupCopyTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program;
    QString m_backup;

    veltrano::CopyRequest request() const
    {
        return {m_program + QStringLiteral("/*.MDB"), m_backup, QStringLiteral("Datenbank-Sicherungskopie")};
    }

private slots:
    void init()
    {
        static int run = 0;
        QVERIFY(m_dir.isValid());
        m_program = m_dir.path() + QStringLiteral("/program %1").arg(++run);
        QVERIFY(QDir().mkpath(m_program));
        m_backup = m_program + QStringLiteral("/Backup");
    }

    void firstBackupCreatesTheFolderAndCopiesOnlyDatabaseFiles_data()
    {
        QTest::addColumn<QString>("subfolder");
        QTest::newRow("program folder") << QString();
        // Far beyond the 250 characters that a fixed path buffer would hold.
        QString deep;
        for (int i = 0; i < 8; ++i)
            deep += QStringLiteral("/Schweißnahtprüfung nach DIN EN ISO 5817 Ordner %1").arg(i);
        QTest::newRow("program folder with a path of over 400 characters") << deep;
    }

    void firstBackupCreatesTheFolderAndCopiesOnlyDatabaseFiles()
    {
        QFETCH(QString, subfolder);
        m_program += subfolder;
        m_backup = m_program + QStringLiteral("/Backup");
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(m_backup.size() > 250 || subfolder.isEmpty());
        QVERIFY(writeFile(m_program + "/ISO5817.mdb", "catalogue"));
        QVERIFY(writeFile(m_program + "/Zweit.Mdb", "second"));
        QVERIFY(writeFile(m_program + "/.verborgen.MDB", "hidden"));
        QVERIFY(writeFile(m_program + "/ISO5817.mdb.txt", "not a database"));
        QVERIFY(writeFile(m_program + "/Veltrano", "program"));
        QVERIFY(QDir().mkpath(m_program + "/Archiv.mdb")); // a folder, not a file
        const QDateTime stamp = QDateTime::currentDateTime().addDays(-3);
        {
            QFile catalogue(m_program + "/ISO5817.mdb");
            QVERIFY(catalogue.open(QIODevice::ReadWrite));
            QVERIFY(catalogue.setFileTime(stamp, QFileDevice::FileModificationTime));
        }

        ScriptedInteraction ui;
        const auto outcome = veltrano::CopyFiles(request(), ui);

        QCOMPARE(ui.errors.size(), 0);
        QVERIFY(ui.asked.isEmpty());
        QCOMPARE(outcome.copied, 3);
        QVERIFY(!outcome.cancelled);
        QCOMPARE(entriesOf(m_backup), (QStringList{".verborgen.MDB", "ISO5817.mdb", "Zweit.Mdb"}));
        QCOMPARE(readFile(m_backup + "/ISO5817.mdb"), QByteArray("catalogue"));
        QCOMPARE(readFile(m_backup + "/Zweit.Mdb"), QByteArray("second"));
        QCOMPARE(QFileInfo(m_backup + "/ISO5817.mdb").lastModified().toSecsSinceEpoch(), stamp.toSecsSinceEpoch());
        QCOMPARE(ui.started, 1);
        QCOMPARE(ui.finished, 1);
    }

    // Earlier copies of a, b and c exist; d has none and is never asked about.
    void replacingAsksForEachExistingFile_data()
    {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("replaced"); // per file a to d: n = new copy, o = earlier copy kept
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("cancelled");

        QTest::newRow("no to each keeps every earlier copy")
            << QList<Answer>{Answer::No, Answer::No, Answer::No} << "ooon" << 3 << false;
        QTest::newRow("yes and no decide file by file")
            << QList<Answer>{Answer::Yes, Answer::No, Answer::Yes} << "nonn" << 3 << false;
        QTest::newRow("yes to all answers the remaining files")
            << QList<Answer>{Answer::No, Answer::YesToAll} << "onnn" << 2 << false;
        QTest::newRow("cancel stops before the file asked about")
            << QList<Answer>{Answer::Yes, Answer::Cancel} << "noo-" << 2 << true;
    }

    void replacingAsksForEachExistingFile()
    {
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, replaced);
        QFETCH(int, questions);
        QFETCH(bool, cancelled);

        const QStringList names{"a.mdb", "B.MDB", "c.Mdb", "d.mdb"};
        QVERIFY(QDir().mkpath(m_backup));
        for (const QString& name : names) {
            QVERIFY(writeFile(m_program + '/' + name, "new " + name.toUtf8()));
            if (name != "d.mdb")
                QVERIFY(writeFile(m_backup + '/' + name, "old " + name.toUtf8()));
        }

        ScriptedInteraction ui;
        ui.answers.assign(answers.begin(), answers.end());
        const auto outcome = veltrano::CopyFiles(request(), ui);

        QCOMPARE(ui.errors.size(), 0);
        QCOMPARE(ui.asked.size(), questions);
        QCOMPARE(ui.asked, names.mid(0, questions));
        QCOMPARE(outcome.cancelled, cancelled);
        for (int i = 0; i < names.size(); ++i) {
            const QString copy = m_backup + '/' + names[i];
            const QByteArray expected = replaced[i] == 'n'   ? "new " + names[i].toUtf8()
                                        : replaced[i] == 'o' ? "old " + names[i].toUtf8()
                                                             : QByteArray("<missing>");
            QCOMPARE(readFile(copy), expected);
        }
        QCOMPARE(entriesOf(m_backup).size(), replaced.count('-') ? 3 : 4);
        // The files answered "No" are named as kept, in order.
        QStringList kept;
        for (int i = 0; i < questions; ++i)
            if (answers[i] == Answer::No)
                kept << names[i];
        QCOMPARE(outcome.kept, kept);
    }

    void stoppedCopyKeepsTheEarlierBackupWhole()
    {
        QVERIFY(writeFile(m_program + "/ISO5817.mdb", bigContent('n')));
        QVERIFY(writeFile(m_program + "/Zweit.mdb", "second"));
        QVERIFY(QDir().mkpath(m_backup));
        QVERIFY(writeFile(m_backup + "/ISO5817.mdb", "earlier backup"));

        ScriptedInteraction ui;
        ui.answers = {Answer::Yes};
        int afterData = 0;
        ui.onProgress = [&](const QString&, qint64 bytesDone) {
            // Stop once part of the file has been written.
            return !(bytesDone > 0 && ++afterData == 2);
        };
        const auto outcome = veltrano::CopyFiles(request(), ui);

        QVERIFY(outcome.cancelled);
        QCOMPARE(outcome.copied, 0);
        QCOMPARE(ui.errors.size(), 0); // stopping is the user's own doing: no message
        QCOMPARE(readFile(m_backup + "/ISO5817.mdb"), QByteArray("earlier backup"));
        QCOMPARE(entriesOf(m_backup), QStringList{"ISO5817.mdb"});
        QCOMPARE(ui.finished, 1);
    }

#ifdef Q_OS_LINUX
    // A target that takes no more than 64 KiB per file, like a full disk.
    void failingCopyKeepsTheEarlierBackupAndGoesOn()
    {
        QVERIFY(writeFile(m_program + "/ISO5817.mdb", bigContent('n')));
        QVERIFY(writeFile(m_program + "/Zweit.mdb", "second"));
        QVERIFY(QDir().mkpath(m_backup));
        QVERIFY(writeFile(m_backup + "/ISO5817.mdb", "earlier backup"));

        ScriptedInteraction ui;
        ui.answers = {Answer::Yes};
        veltrano::CopyOutcome outcome;
        {
            struct FileSizeLimit {
                rlimit saved{};
                void (*savedHandler)(int) = nullptr;
                FileSizeLimit()
                {
                    getrlimit(RLIMIT_FSIZE, &saved);
                    savedHandler = std::signal(SIGXFSZ, SIG_IGN);
                    rlimit limited = saved;
                    limited.rlim_cur = 64 * 1024;
                    setrlimit(RLIMIT_FSIZE, &limited);
                }
                ~FileSizeLimit()
                {
                    setrlimit(RLIMIT_FSIZE, &saved);
                    std::signal(SIGXFSZ, savedHandler);
                }
            } limit;
            outcome = veltrano::CopyFiles(request(), ui);
        }

        QCOMPARE(outcome.failed, 1);
        QCOMPARE(outcome.copied, 1);
        QCOMPARE(ui.errors.size(), 1);
        QCOMPARE(ui.errors[0].file, m_program + "/ISO5817.mdb");
        QVERIFY2(ui.errors[0].message.contains(m_program + "/ISO5817.mdb"), qPrintable(ui.errors[0].message));
        QVERIFY2(ui.errors[0].message.contains("large", Qt::CaseInsensitive) ||
                     ui.errors[0].message.contains("gro\u00DF", Qt::CaseInsensitive),
                 qPrintable(ui.errors[0].message)); // the cause, in the system's words
        QCOMPARE(readFile(m_backup + "/ISO5817.mdb"), QByteArray("earlier backup"));
        QCOMPARE(readFile(m_backup + "/Zweit.mdb"), QByteArray("second"));
        QCOMPARE(entriesOf(m_backup), (QStringList{"ISO5817.mdb", "Zweit.mdb"}));
    }
#endif

    // Errors found before anything is copied: reported once, nothing written.
    void refusedBeforeCopying_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("errorFile");
        QTest::addColumn<QString>("cause");

        QTest::newRow("no database file") << "none"
                                          << "Backup"
                                          << "*.MDB"
                                          << "keine Datei";
        QTest::newRow("target is a file") << "backup file"
                                          << "Backup"
                                          << "Backup"
                                          << "Datei dieses Namens";
        if (!veltrano::HasDriveLetters())
            QTest::newRow("no drive letters") << ""
                                              << "A:\\"
                                              << "A:\\"
                                              << "Laufwerk A: ist nicht verf\u00FCgbar";
    }

    void refusedBeforeCopying()
    {
        QFETCH(QString, situation);
        QFETCH(QString, target);
        QFETCH(QString, errorFile);
        QFETCH(QString, cause);

        if (situation != "none")
            QVERIFY(writeFile(m_program + "/ISO5817.mdb", "catalogue"));
        if (situation == "backup file")
            QVERIFY(writeFile(m_program + "/Backup", "a file in the way"));
        const QStringList before = entriesOf(m_program);
        // A relative target would land in the working folder: make that ours.
        const QString savedCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_program));

        ScriptedInteraction ui;
        veltrano::CopyRequest copy = request();
        if (target != "Backup")
            copy.target = target;
        const auto outcome = veltrano::CopyFiles(copy, ui);
        QDir::setCurrent(savedCurrent);

        QCOMPARE(outcome.copied, 0);
        QCOMPARE(ui.errors.size(), 1);
        QVERIFY2(ui.errors[0].file.endsWith(errorFile), qPrintable(ui.errors[0].file));
        QVERIFY2(ui.errors[0].message.contains(cause), qPrintable(ui.errors[0].message));
        QCOMPARE(ui.started, 0);
        QCOMPARE(entriesOf(m_program), before);
        if (situation == "backup file")
            QCOMPARE(readFile(m_program + "/Backup"), QByteArray("a file in the way"));
    }
};

QTEST_GUILESS_MAIN(BackupCopyTest)
#include "BackupCopyTest.moc"
