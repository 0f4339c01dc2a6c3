// A record file opened while the program runs reaches the running copy.
#include "startup/RecordHandOver.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

using namespace veltrano;

class HandOverTest : public QObject {
    Q_OBJECT

private slots:
    void theRunningCopyGetsTheFileAsAnAbsolutePath()
    {
        QTemporaryDir dir;
        const QString path = recordHandOverPath(dir.path());
        QFile stale(path); // left by a copy that was killed
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        RecordFileReceiver receiver(path);
        QVERIFY(receiver.isListening());
        QSignalSpy received(&receiver, &RecordFileReceiver::fileReceived);
        std::atomic<int> taken{-1};
        // The second copy is another process; its side blocks, so it runs
        // beside this event loop.
        std::thread secondCopy([&] { taken = handOverRecordFile(path, QStringLiteral("Auftrag 7/N1.vrec")) ? 1 : 0; });
        QTRY_COMPARE(received.size(), 1);
        secondCopy.join();
        QCOMPARE(taken.load(), 1);
        QCOMPARE(received.at(0).at(0).toString(),
                 QDir::current().absoluteFilePath(QStringLiteral("Auftrag 7/N1.vrec")));
    }

    void nobodyListeningMeansTheFileIsNotTaken()
    {
        QTemporaryDir dir;
        QVERIFY(!handOverRecordFile(recordHandOverPath(dir.path()), QStringLiteral("a.vrec"), 500));
        QVERIFY(!handOverRecordFile(QString(), QStringLiteral("a.vrec"), 500));
        QVERIFY(recordHandOverPath(QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(HandOverTest)
#include "HandOverTest.moc"
