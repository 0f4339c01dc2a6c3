#pragma once
// The info window: the program's icon and name with an OK button.  It is
// made once at start-up, hidden, and only shown and hidden after that, so
// the info command never makes a second one.

#include <QWidget>

class QLabel;
class QPushButton;

namespace veltrano {

class TInfo : public QWidget {
    Q_OBJECT
public:
    // Made hidden; shows the icon of parent's window (or the application's).
    explicit TInfo(QWidget* parent = nullptr);
    ~TInfo() override;

    // Shows the window without making it modal and brings it to the front.
    void ShowInfo();

    QLabel* Image1 = nullptr;
    QLabel* StaticText1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

private:
    void BitBtn1Click();
};

// The info window made at start-up, or null while there is none.
TInfo* InfoWindow();

// The info command: shows the program's info window.  Should none have been
// made at start-up, it is made now, once, owned by owner.
void ShowInfoWindow(QWidget* owner);

} // namespace veltrano
