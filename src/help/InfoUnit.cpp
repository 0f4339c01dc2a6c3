#include "help/InfoUnit.h"

#include "look/WindowLook.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

static void initInfoResources()
{
    Q_INIT_RESOURCE(startup);
}

namespace veltrano {

namespace {

QPointer<TInfo> theInfoWindow;

} // namespace

TInfo::TInfo(QWidget* parent)
    : QWidget(parent, Qt::Tool)
{
    initInfoResources();
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(QStringLiteral("Info über ..."));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(384, 258);
    setFont(windowFont(11));

    const QIcon icon = parent ? parent->windowIcon() : QApplication::windowIcon();
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(15, 32, 33, 33);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(icon.pixmap(32, 32));

    StaticText1 = new QLabel(QStringLiteral("Veltrano    "), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(70, 33, 288, 32);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setFont(boldItalic(windowFont(25, QStringLiteral("Arial"))));
    setTextColour(StaticText1, QColor(0x80, 0x00, 0x00));

    Label2 = new QLabel(QString(), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(15, 84);
    Label2->setFont(bold(windowFont(15)));
    setTextColour(Label2, Qt::black);

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/startup/ok.svg")), QStringLiteral("&OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(138, 225, 121, 25);
    BitBtn1->setFont(bold(windowFont(15)));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TInfo::BitBtn1Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    theInfoWindow = this;
}

TInfo::~TInfo()
{
    if (theInfoWindow == this)
        theInfoWindow = nullptr;
}

void TInfo::ShowInfo()
{
    show();
    raise();
    activateWindow();
    BitBtn1->setFocus();
}

void TInfo::BitBtn1Click()
{
    close(); // hides it; the window lives on for the next info command
}

TInfo* InfoWindow()
{
    return theInfoWindow;
}

void ShowInfoWindow(QWidget* owner)
{
    TInfo* info = theInfoWindow;
    if (!info)
        info = new TInfo(owner);
    info->ShowInfo();
}

} // namespace veltrano
