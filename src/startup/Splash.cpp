#include "startup/Splash.h"

#include "look/WindowLook.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

#include <chrono>

// Resources are compiled into a static library; they must be registered by
// name from outside any namespace.
static void initStartupResources()
{
    Q_INIT_RESOURCE(startup);
}

namespace veltrano {

std::uint32_t SystemTickCount()
{
    using namespace std::chrono;
    // Unsigned conversion keeps the low 32 bits: the counter wraps like a
    // 32-bit tick count.
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void WaitOneSecond(const TickCount& tick)
{
    const std::uint32_t start = tick();
    // Wakes the wait below even when no message arrives, so the clock is
    // read about every 10 ms instead of spinning.
    QTimer wake;
    wake.start(10);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        // Differences of unsigned 32-bit values are taken modulo 2^32, which
        // keeps the elapsed time right when the counter wraps during the wait.
    } while (static_cast<std::uint32_t>(tick() - start) <= 1000u);
}

namespace {

QPixmap renderPicture(const QString& resource, QSize size, qreal ratio)
{
    QPixmap picture(size * ratio);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    initStartupResources();
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(491, 216);
    setFont(windowFont(11));
    setTextColour(this, Qt::black);

    const QColor silver(0xC0, 0xC0, 0xC0);
    const QColor teal(0x00, 0x80, 0x80);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 491, 216);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setFocusPolicy(Qt::StrongFocus);
    Panel1->setAccessibleName(QStringLiteral("Veltrano wird geladen"));
    Panel1->setAutoFillBackground(true);
    QPalette silverPalette = Panel1->palette();
    silverPalette.setColor(QPalette::Window, silver);
    Panel1->setPalette(silverPalette);

    Label1 = new QLabel(QStringLiteral("Programm wird geladen : "), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(12, 178);
    Label1->adjustSize();

    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(149, 177, 324, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Programm wird geladen"));

    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(20, 13, 445, 148);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setLineWidth(1);

    LogoName = new QLabel(Panel3);
    LogoName->setObjectName(QStringLiteral("LogoName"));
    LogoName->move(21, 10);
    LogoName->setFont(boldItalic(windowFont(32)));
    setTextColour(LogoName, teal);

    StaticText1 = new QLabel(QStringLiteral("gesponsert von"), Panel3);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->move(46, 81);
    StaticText1->setFont(windowFont(16));
    setTextColour(StaticText1, teal);
    StaticText1->adjustSize();

    Panel2 = new QFrame(Panel3);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(206, 64, 211, 65);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(3);

    Image1 = new QLabel(Panel2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(5, 6, 200, 50);
    Image1->setPixmap(
        renderPicture(QStringLiteral(":/startup/picture.svg"), QSize(200, 50), qApp ? qApp->devicePixelRatio() : 1.0));

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    FormCreate();
}

void TSplashForm::FormCreate()
{
    LogoName->setText(QStringLiteral("Veltrano "));
    LogoName->adjustSize();
    show();
    Panel1->setFocus();
}

void TSplashForm::FormActivate()
{
    repaint();
}

bool TSplashForm::event(QEvent* e)
{
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TSplashForm::ShowNextStep(int iPercent)
{
    ProgressBar1->setValue(iPercent);
    WaitOneSecond(tick_);
    repaint();
}

} // namespace veltrano
