// The single-instance guard between real processes: a second copy is refused
// while the first runs, a copy that was killed never blocks the next, and the
// lock lives where no other user can plant one.

#include "startup/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using veltrano::SingleInstanceGuard;

class GuardTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    // The folders the program looks at for its lock, as the test set them.
    QByteArray savedTmp_;
    QByteArray savedRuntime_;

    // Starts a copy on the test's folder and returns it once it has said
    // what it found.
    std::unique_ptr<QProcess> start(QByteArray* answer) { return startWith(answer, {folder_.path()}); }

    // The same with the helper's arguments: without any, the copy keeps the
    // guard where the program does.
    std::unique_ptr<QProcess> startWith(QByteArray* answer, const QStringList& arguments)
    {
        auto copy = std::make_unique<QProcess>();
        copy->start(QStringLiteral(GUARD_HELPER), arguments);
        if (!copy->waitForStarted(10000) || !copy->waitForReadyRead(10000)) {
            *answer = "no answer";
            return copy;
        }
        *answer = copy->readLine().trimmed();
        return copy;
    }

    // Points the program's two lock places at folders of the test: the
    // shared temporary folder and the session's runtime folder.
    static void pointAt(const QString& sharedTmp, const QString& runtime)
    {
        qputenv("TMPDIR", QFile::encodeName(sharedTmp));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }

    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    // A folder in scratch with the given mode, owned by the user given
    // (-1: the test's own).
    static QString makeFolder(const QTemporaryDir& scratch, const QString& name, mode_t mode, int owner = -1)
    {
        const QString path = scratch.filePath(name);
        if (!QDir().mkpath(path) || ::chmod(QFile::encodeName(path).constData(), mode) != 0)
            return {};
        if (owner >= 0 && ::chown(QFile::encodeName(path).constData(), uid_t(owner), gid_t(owner)) != 0)
            return {};
        return path;
    }

    static QString sharedPrivateName() { return QStringLiteral("veltrano-%1").arg(::getuid()); }

    static QString userName()
    {
        const passwd* entry = ::getpwuid(::getuid());
        return entry ? QFile::decodeName(entry->pw_name) : QString::number(::getuid());
    }

private slots:
    void initTestCase()
    {
        savedTmp_ = qgetenv("TMPDIR");
        savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    }

    void init() { QVERIFY(folder_.isValid()); }

    void cleanup()
    {
        restore("TMPDIR", savedTmp_);
        restore("XDG_RUNTIME_DIR", savedRuntime_);
    }

    void secondCopyRefusedWhileFirstRuns()
    {
        QByteArray answer;
        auto first = start(&answer);
        QCOMPARE(answer, QByteArray("acquired"));

        auto second = start(&answer);
        QCOMPARE(answer, QByteArray("running"));
        QVERIFY(second->waitForFinished(10000));

        // The first copy ends normally and frees the guard for the next.
        first->closeWriteChannel();
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        auto third = start(&answer);
        QCOMPARE(answer, QByteArray("acquired"));
        third->closeWriteChannel();
        QVERIFY(third->waitForFinished(10000));
    }

    void killedCopyDoesNotBlockTheNext()
    {
        QByteArray answer;
        auto first = start(&answer);
        QCOMPARE(answer, QByteArray("acquired"));
        const QString lockFile = SingleInstanceGuard::lockFilePathFor(QStringLiteral("Veltrano.exe"), folder_.path());

        first->kill();
        QVERIFY(first->waitForFinished(10000));
        // A killed copy cannot clean up: its lock is still there, now stale.
        QVERIFY2(QFileInfo::exists(lockFile), qPrintable(lockFile));

        auto next = start(&answer);
        QCOMPARE(answer, QByteArray("acquired"));
        auto refused = start(&answer);
        QCOMPARE(answer, QByteArray("running"));
        QVERIFY(refused->waitForFinished(10000));
        next->closeWriteChannel();
        QVERIFY(next->waitForFinished(10000));
    }

    void sameProcessHoldsTheOneGuard()
    {
        SingleInstanceGuard first(QStringLiteral("Veltrano.exe"), folder_.path());
        QCOMPARE(first.state(), SingleInstanceGuard::State::Acquired);
        {
            SingleInstanceGuard second(QStringLiteral("Veltrano.exe"), folder_.path());
            QCOMPARE(second.state(), SingleInstanceGuard::State::AlreadyRunning);
        }
        // The refused guard must not have removed the holder's lock.
        SingleInstanceGuard third(QStringLiteral("Veltrano.exe"), folder_.path());
        QCOMPARE(third.state(), SingleInstanceGuard::State::AlreadyRunning);
    }

    void lockWithoutOwnerIsTakenOver_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty, as after a crash while writing it") << QByteArray();
        QTest::newRow("unreadable") << QByteArray("\x01\x02 not a lock\n");
    }

    void lockWithoutOwnerIsTakenOver()
    {
        QFETCH(QByteArray, content);
        QFile leftover(SingleInstanceGuard::lockFilePathFor(QStringLiteral("Veltrano.exe"), folder_.path()));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(content);
        leftover.close();

        SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"), folder_.path());
        QCOMPARE(guard.state(), SingleInstanceGuard::State::Acquired);
        SingleInstanceGuard second(QStringLiteral("Veltrano.exe"), folder_.path());
        QCOMPARE(second.state(), SingleInstanceGuard::State::AlreadyRunning);
    }

    void guardThatCannotBeMadeLetsTheProgramStart()
    {
        SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"), folder_.filePath(QStringLiteral("no/such/folder")));
        QCOMPARE(guard.state(), SingleInstanceGuard::State::Unavailable);
    }

    void onlyAFolderOfTheUsersOwnIsPrivate_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("isPrivate");
        QTest::newRow("owner only") << "0700" << true;
        QTest::newRow("group and others may read") << "0755" << true;
        QTest::newRow("group may write") << "0770" << false;
        QTest::newRow("anybody may write, as the shared temporary folder") << "1777" << false;
        QTest::newRow("a link to a private folder") << "link" << false;
        QTest::newRow("a file") << "file" << false;
        QTest::newRow("another user's folder") << "foreign" << false;
    }

    void onlyAFolderOfTheUsersOwnIsPrivate()
    {
        QFETCH(QString, kind);
        QFETCH(bool, isPrivate);
        QTemporaryDir scratch(folder_.filePath(QStringLiteral("XXXXXX")));
        QString path;
        if (kind == QLatin1String("link")) {
            const QString target = makeFolder(scratch, QStringLiteral("target"), 0700);
            path = scratch.filePath(QStringLiteral("link"));
            QVERIFY(QFile::link(target, path));
        } else if (kind == QLatin1String("file")) {
            path = scratch.filePath(QStringLiteral("file"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("foreign")) {
            if (::getuid() != 0)
                QSKIP("only root can give a folder to another user");
            path = makeFolder(scratch, kind, 0700, 65534);
        } else {
            path = makeFolder(scratch, kind, mode_t(kind.toInt(nullptr, 8)));
        }
        QVERIFY(!path.isEmpty());
        QCOMPARE(SingleInstanceGuard::isPrivateFolder(path), isPrivate);
        SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"), path);
        QCOMPARE(guard.state() == SingleInstanceGuard::State::Unavailable, !isPrivate);
    }

    void lockLivesInAFolderOnlyTheUserCanWrite_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<bool>("runtimeUsed");
        QTest::newRow("the session's runtime folder") << "0700" << true;
        QTest::newRow("no runtime folder, only a file of that name") << "file" << false;
        QTest::newRow("a runtime folder of another user") << "foreign" << false;
    }

    void lockLivesInAFolderOnlyTheUserCanWrite()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, runtimeUsed);
        QTemporaryDir scratch(folder_.filePath(QStringLiteral("XXXXXX")));
        const QString shared = makeFolder(scratch, QStringLiteral("tmp"), 01777);
        QString runtimePath;
        if (runtime == QLatin1String("file")) {
            runtimePath = scratch.filePath(QStringLiteral("run"));
            QFile file(runtimePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (runtime == QLatin1String("foreign")) {
            if (::getuid() != 0)
                QSKIP("only root can give a folder to another user");
            runtimePath = makeFolder(scratch, QStringLiteral("run"), 0700, 65534);
        } else {
            runtimePath = makeFolder(scratch, QStringLiteral("run"), 0700);
        }
        QVERIFY(!shared.isEmpty() && !runtimePath.isEmpty());
        pointAt(shared, runtimePath);

        // Without a usable runtime folder, a private folder directly in the
        // shared temporary folder, never that folder itself.
        const QString folder = SingleInstanceGuard::defaultFolder();
        QVERIFY(!folder.isEmpty());
        if (runtimeUsed)
            QCOMPARE(QDir(folder).canonicalPath(), QDir(runtimePath).canonicalPath());
        else
            QCOMPARE(QFileInfo(folder).absolutePath(), QFileInfo(shared).absoluteFilePath());
        const QFileInfo info(folder);
        QCOMPARE(info.ownerId(), ::getuid());
        const auto othersOrGroup = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                   QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(info.permissions() & othersOrGroup, QFileDevice::Permissions());

        const SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"));
        QCOMPARE(guard.state(), SingleInstanceGuard::State::Acquired);
        QCOMPARE(QFileInfo(guard.lockFilePath()).absolutePath(), info.absoluteFilePath());
    }

    void privateFolderNameTakenFirstLetsTheProgramStart_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::newRow("made by the user for anybody to write") << "1777";
        QTest::newRow("made by another user") << "foreign";
    }

    void privateFolderNameTakenFirstLetsTheProgramStart()
    {
        QFETCH(QString, taken);
        if (taken == QLatin1String("foreign") && ::getuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir scratch(folder_.filePath(QStringLiteral("XXXXXX")));
        const QString shared = makeFolder(scratch, QStringLiteral("tmp"), 01777);
        const QString takenPath = taken == QLatin1String("foreign")
                                      ? makeFolder(scratch, QStringLiteral("tmp/") + sharedPrivateName(), 0777, 65534)
                                      : makeFolder(scratch, QStringLiteral("tmp/") + sharedPrivateName(), 01777);
        QVERIFY(!shared.isEmpty() && !takenPath.isEmpty());
        // Neither the session's runtime folder nor the usual stand-in for it
        // in the temporary folder can be had either.
        for (const QString& name : {QStringLiteral("no runtime folder"), QStringLiteral("tmp/runtime-") + userName()}) {
            QFile notAFolder(scratch.filePath(name));
            QVERIFY(notAFolder.open(QIODevice::WriteOnly));
        }
        pointAt(shared, scratch.filePath(QStringLiteral("no runtime folder")));

        QCOMPARE(SingleInstanceGuard::defaultFolder(), QString());
        QByteArray answer;
        auto copy = startWith(&answer, {});
        QCOMPARE(answer, QByteArray("unavailable"));
        QVERIFY(copy->waitForFinished(10000));
        QCOMPARE(QDir(takenPath).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void lockPlantedInTheSharedFolderDoesNotBlock()
    {
        QTemporaryDir scratch(folder_.filePath(QStringLiteral("XXXXXX")));
        const QString shared = makeFolder(scratch, QStringLiteral("tmp"), 01777);
        const QString runtime = makeFolder(scratch, QStringLiteral("run"), 0700);
        const QString elsewhere = makeFolder(scratch, QStringLiteral("elsewhere"), 0700);
        QVERIFY(!shared.isEmpty() && !runtime.isEmpty() && !elsewhere.isEmpty());

        // Another user's running process of the same name, as its lock shows
        // it, planted in the shared folder under the names a guard once used.
        QByteArray answer;
        auto other = startWith(&answer, {elsewhere});
        QCOMPARE(answer, QByteArray("acquired"));
        QFile lock(SingleInstanceGuard::lockFilePathFor(QStringLiteral("Veltrano.exe"), elsewhere));
        QVERIFY(lock.open(QIODevice::ReadOnly));
        const QByteArray owner = lock.readAll();
        QVERIFY(!owner.isEmpty());
        for (const QString& name :
             {QStringLiteral("Veltrano.exe.%1.lock").arg(::getuid()), QStringLiteral("Veltrano.exe.lock")}) {
            QFile planted(QDir(shared).filePath(name));
            QVERIFY(planted.open(QIODevice::WriteOnly));
            planted.write(owner);
        }

        pointAt(shared, runtime);
        auto mine = startWith(&answer, {});
        QCOMPARE(answer, QByteArray("acquired"));
        auto second = startWith(&answer, {});
        QCOMPARE(answer, QByteArray("running")); // the guard itself still works
        QVERIFY(second->waitForFinished(10000));
        for (auto* copy : {mine.get(), other.get()}) {
            copy->closeWriteChannel();
            QVERIFY(copy->waitForFinished(10000));
        }
    }
};

QTEST_GUILESS_MAIN(GuardTest)
#include "GuardTest.moc"
