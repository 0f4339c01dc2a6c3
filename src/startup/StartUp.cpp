#include "startup/StartUp.h"

#include "help/InfoUnit.h"

#include <QApplication>

#include <exception>

namespace veltrano {

namespace {

// Releases the splash window however the steps end.
class SplashRelease {
public:
    explicit SplashRelease(TSplashForm* splash)
        : splash_(splash)
    {
    }
    ~SplashRelease()
    {
        // After a failed step the error is shown next: the splash must not
        // stand in front of it.
        if (std::uncaught_exceptions() > 0)
            splash_->close();
        splash_->deleteLater();
    }
    SplashRelease(const SplashRelease&) = delete;
    SplashRelease& operator=(const SplashRelease&) = delete;

private:
    TSplashForm* splash_;
};

} // namespace

std::unique_ptr<QWidget> CreateWindowsBehindSplash(const std::function<QWidget*()>& createMainWindow,
                                                   const TickCount& tick)
{
    auto* splash = new TSplashForm;
    splash->setTickCount(tick);
    SplashRelease release(splash);

    std::unique_ptr<QWidget> mainWindow(createMainWindow());
    new TInfo(mainWindow.get()); // hidden until the info command; freed with the main window
    for (int iPercent : {25, 50, 75, 100})
        splash->ShowNextStep(iPercent);
    return mainWindow;
}

} // namespace veltrano
