// The info window: its texts, and that the info command only ever shows the
// one window made at start-up.

#include "help/InfoUnit.h"

#include <QFontInfo>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace veltrano;

class InfoTest : public QObject {
    Q_OBJECT

private:
    static int infoWindowCount()
    {
        const QWidgetList all = QApplication::allWidgets();
        return int(std::count_if(all.cbegin(), all.cend(), [](QWidget* w) { return qobject_cast<TInfo*>(w); }));
    }

    static std::unique_ptr<QWidget> mainWindowWithIcon()
    {
        auto owner = std::make_unique<QWidget>();
        QPixmap icon(32, 32);
        icon.fill(Qt::darkCyan);
        owner->setWindowIcon(QIcon(icon));
        return owner;
    }

private slots:
    void infoAsLaidOut()
    {
        auto owner = mainWindowWithIcon();
        TInfo info(owner.get());
        QVERIFY(!info.isVisible());
        QCOMPARE(info.windowTitle(), QStringLiteral("Info über ..."));
        QCOMPARE(info.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(info.size(), QSize(384, 258));
        QCOMPARE(info.StaticText1->text(), QStringLiteral("Veltrano    "));
        QCOMPARE(info.StaticText1->geometry(), QRect(70, 33, 288, 32));
        QCOMPARE(info.StaticText1->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
        const QFontInfo name(info.StaticText1->font());
        QCOMPARE(name.pixelSize(), 25);
        QVERIFY(name.bold() && name.italic());
        QCOMPARE(info.Label2->text(), QString());
        QCOMPARE(info.Label2->pos(), QPoint(15, 84));
        QCOMPARE(info.BitBtn1->text(), QStringLiteral("&OK"));
        QCOMPARE(info.BitBtn1->geometry(), QRect(138, 225, 121, 25));
        QVERIFY(!info.BitBtn1->icon().isNull());
        QCOMPARE(info.Image1->geometry(), QRect(15, 32, 33, 33));
        QCOMPARE(info.Image1->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
    }

    void infoCommandShowsTheOneWindow()
    {
        auto owner = mainWindowWithIcon();
        QPointer<TInfo> info = new TInfo(owner.get()); // as made at start-up
        QCOMPARE(InfoWindow(), info.data());

        ShowInfoWindow(owner.get());
        ShowInfoWindow(owner.get());
        QCOMPARE(infoWindowCount(), 1);
        QVERIFY(info->isVisible());

        // OK hides it, the close box too; neither frees it.
        QTest::mouseClick(info->BitBtn1, Qt::LeftButton);
        QVERIFY(info && !info->isVisible());
        ShowInfoWindow(owner.get());
        QVERIFY(info->isVisible());
        QVERIFY(info->close());
        QVERIFY(info && !info->isVisible());
        ShowInfoWindow(owner.get());
        QVERIFY(info->isVisible());
        QCOMPARE(infoWindowCount(), 1);

        owner.reset(); // freed with the main window
        QVERIFY(!info);
        QCOMPARE(InfoWindow(), nullptr);
    }

    void infoMadeOnceWhenStartUpMadeNone()
    {
        auto owner = mainWindowWithIcon();
        QCOMPARE(InfoWindow(), nullptr);
        ShowInfoWindow(owner.get());
        QPointer<TInfo> info = InfoWindow();
        QVERIFY(info && info->isVisible());
        QCOMPARE(info->parentWidget(), owner.get());
        ShowInfoWindow(owner.get());
        QCOMPARE(InfoWindow(), info.data());
        QCOMPARE(infoWindowCount(), 1);
    }
};

QTEST_MAIN(InfoTest)
#include "InfoTest.moc"
