#pragma once
// The program's start: the windows are created behind the splash window,
// which counts up in four steps and is released when the main window shows.

#include "startup/Splash.h"

#include <functional>
#include <memory>

class QWidget;

namespace veltrano {

// Shows the splash window, creates the main window with createMainWindow and
// the hidden info window owned by it, advances the splash through 25, 50, 75
// and 100 percent on tick, and releases the splash: it is freed as soon as the
// event loop runs, that is when the main window is shown.  The splash is
// released also when a step throws; the exception then goes on to the caller.
std::unique_ptr<QWidget> CreateWindowsBehindSplash(const std::function<QWidget*()>& createMainWindow,
                                                   const TickCount& tick = SystemTickCount);

} // namespace veltrano
