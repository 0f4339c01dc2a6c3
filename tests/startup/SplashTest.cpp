// The splash window, its one-second steps on a wrapping tick count, and the
// start-up sequence that creates the windows behind it.

#include "startup/Splash.h"
#include "help/InfoUnit.h"
#include "startup/StartUp.h"

#include <QElapsedTimer>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include <stdexcept>
#include <vector>

using namespace veltrano;

namespace {

// A tick count that moves on by step at every reading after the first.
// It gives up after 1000 readings, so a wait that never ends fails the test
// instead of hanging it.
struct FakeTicks {
    std::uint32_t next;
    std::uint32_t step;
    int reads = 0;

    TickCount counter()
    {
        return [this] {
            ++reads;
            const std::uint32_t now = next;
            next += reads >= 1000 ? 0x40000000u : step;
            return now;
        };
    }
};

TSplashForm* visibleSplash()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<TSplashForm*>(w); splash && splash->isVisible())
            return splash;
    return nullptr;
}

} // namespace

class SplashTest : public QObject {
    Q_OBJECT

private slots:
    void waitOneSecondCountsModulo2To32_data()
    {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<quint32>("step");
        QTest::addColumn<int>("reads"); // including the start value

        QTest::newRow("ordinary") << 5000u << 250u << 6;
        QTest::newRow("passing 2^31") << 0x7FFFFF00u << 250u << 6;
        QTest::newRow("wrapping through 2^32") << 0xFFFFFE00u << 250u << 6;
        QTest::newRow("exactly 1000 ms is not yet enough") << 0xFFFFFE00u << 500u << 4;
        QTest::newRow("ending on zero after the wrap") << 0xFFFFFC18u << 1000u << 3;
        QTest::newRow("one long stall") << 0xFFFFFFFFu << 60000u << 2;
    }

    void waitOneSecondCountsModulo2To32()
    {
        QFETCH(quint32, start);
        QFETCH(quint32, step);
        QFETCH(int, reads);
        FakeTicks ticks{start, step};
        WaitOneSecond(ticks.counter());
        QCOMPARE(ticks.reads, reads);
    }

    void waitOneSecondHandlesMessages()
    {
        bool delivered = false;
        QTimer::singleShot(0, this, [&] { delivered = true; });
        FakeTicks ticks{0, 400};
        WaitOneSecond(ticks.counter());
        QVERIFY(delivered);
    }

    void waitOneSecondOnTheSystemClock()
    {
        QElapsedTimer clock;
        clock.start();
        WaitOneSecond();
        // More than 1000 ticks of whole milliseconds; the finer clock here may
        // see the first tick's fraction as just under.
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= 1000 && waited < 2000, qPrintable(QString::number(waited)));
    }

    void splashAsLaidOut()
    {
        TSplashForm splash;
        QVERIFY(splash.isVisible()); // creating it shows it
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.size(), QSize(491, 216));
        QCOMPARE(splash.LogoName->text(), QStringLiteral("Veltrano "));
        QCOMPARE(splash.Label1->text(), QStringLiteral("Programm wird geladen : "));
        QCOMPARE(splash.StaticText1->text(), QStringLiteral("gesponsert von"));
        QCOMPARE(splash.ProgressBar1->geometry(), QRect(149, 177, 324, 17));
        QCOMPARE(splash.ProgressBar1->minimum(), 0);
        QCOMPARE(splash.ProgressBar1->maximum(), 100);
        QCOMPARE(splash.ProgressBar1->value(), 0);
        QCOMPARE(splash.Panel1->geometry(), QRect(0, 0, 491, 216));
        QCOMPARE(splash.Panel3->geometry(), QRect(20, 13, 445, 148));
        QCOMPARE(splash.Panel2->geometry(), QRect(206, 64, 211, 65));
        QCOMPARE(splash.LogoName->pos(), QPoint(21, 10));
        QCOMPARE(splash.Panel1->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(splash.LogoName->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));

        const QFontInfo logo(splash.LogoName->font());
        QCOMPARE(logo.pixelSize(), 32);
        QVERIFY(logo.bold() && logo.italic());

        // The picture was found and drawn: 200 x 50 and not blank.
        QCOMPARE(splash.Image1->geometry(), QRect(5, 6, 200, 50));
        const QImage picture = splash.Image1->pixmap().toImage();
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(200, 50));
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                drawn += qAlpha(picture.pixel(x, y)) != 0 && picture.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY2(drawn > 1000, qPrintable(QString::number(drawn)));
    }

    void stepsSetTheBarBeforeWaiting()
    {
        TSplashForm splash;
        std::vector<int> seen; // the bar's value at every reading of the clock
        std::uint32_t now = 0xFFFFF000u;
        splash.setTickCount([&] {
            seen.push_back(splash.ProgressBar1->value());
            now += 300;
            return now;
        });
        for (int iPercent : {25, 50, 75, 100})
            splash.ShowNextStep(iPercent);

        // 1 start reading + 4 readings up to 1200 ms, for each step.
        const std::vector<int> expected = {25, 25, 25, 25, 25, 50,  50,  50,  50,  50,
                                           75, 75, 75, 75, 75, 100, 100, 100, 100, 100};
        QCOMPARE(seen, expected);
        QCOMPARE(splash.ProgressBar1->value(), 100);
    }

    void windowsAreCreatedBehindTheSplash()
    {
        QPointer<TSplashForm> splash;
        FakeTicks ticks{0, 600};
        std::unique_ptr<QWidget> mainWindow = CreateWindowsBehindSplash(
            [&] {
                splash = visibleSplash(); // already showing while the main window is made
                return new QWidget;
            },
            ticks.counter());

        QVERIFY(splash);
        QVERIFY(mainWindow);
        QCOMPARE(ticks.reads, 4 * 3); // four steps of one start and two readings
        QCOMPARE(splash->ProgressBar1->value(), 100);

        QPointer<TInfo> info = InfoWindow();
        QVERIFY(info);
        QCOMPARE(info->parentWidget(), mainWindow.get());
        QVERIFY(!info->isVisible());

        // Released, not yet freed: that happens when the event loop runs,
        // as the main window shows.
        QVERIFY(splash);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);

        mainWindow.reset();
        QVERIFY(!info);
    }

    void splashReleasedWhenAStepFails()
    {
        QPointer<TSplashForm> splash;
        FakeTicks ticks{0, 600};
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, CreateWindowsBehindSplash(
                                                         [&]() -> QWidget* {
                                                             splash = visibleSplash();
                                                             throw std::runtime_error("main window failed");
                                                         },
                                                         ticks.counter()));

        QVERIFY(splash);
        QVERIFY(!splash->isVisible()); // out of the way of the error message
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        QVERIFY(!InfoWindow());
    }
};

QTEST_MAIN(SplashTest)
#include "SplashTest.moc"
