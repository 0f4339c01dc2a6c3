// The single-instance guard between real processes: a second copy is refused
// while the first runs, and a copy that was killed never blocks the next.

#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using veltrano::SingleInstanceGuard;

class GuardTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    // Starts a copy and returns it once it has said what it found.
    std::unique_ptr<QProcess> start(QByteArray* answer)
    {
        auto copy = std::make_unique<QProcess>();
        copy->start(QStringLiteral(GUARD_HELPER), {folder_.path()});
        if (!copy->waitForStarted(10000) || !copy->waitForReadyRead(10000)) {
            *answer = "no answer";
            return copy;
        }
        *answer = copy->readLine().trimmed();
        return copy;
    }

private slots:
    void init() { QVERIFY(folder_.isValid()); }

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
};

QTEST_GUILESS_MAIN(GuardTest)
#include "GuardTest.moc"
