#pragma once
// The start-up window: shown while the main window and the info window are
// created, it counts up to 100 percent in four steps of a little more than a
// second each and is released when the main window appears.

#include <QWidget>

#include <cstdint>
#include <functional>

class QFrame;
class QLabel;
class QProgressBar;

namespace veltrano {

// A millisecond counter that runs on monotonically and wraps at 2^32, the
// way a 32-bit tick count does after about 49.7 days.
using TickCount = std::function<std::uint32_t()>;

// Milliseconds since an arbitrary fixed point, from the monotonic clock,
// truncated to 32 bits.
std::uint32_t SystemTickCount();

// Handles the application's messages until more than 1000 ms have passed
// on the given counter, so that windows stay responsive while it waits.
void WaitOneSecond(const TickCount& tick = SystemTickCount);

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    // Creating the window shows it at once.
    explicit TSplashForm(QWidget* parent = nullptr);

    // Sets the progress bar to iPercent, waits a little more than a second
    // and repaints the window.
    void ShowNextStep(int iPercent);

    // The counter the steps wait on; the system tick count unless replaced.
    void setTickCount(TickCount tick) { tick_ = std::move(tick); }

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* LogoName = nullptr;
    QLabel* StaticText1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Image1 = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void FormCreate();
    void FormActivate();

    TickCount tick_ = SystemTickCount;
};

} // namespace veltrano
