#pragma once
// Pages written without a window (the command-line tool) still need fonts,
// and fonts need a QGuiApplication.  This scope starts a window-less one for
// the time of one call when none runs, and leaves a running one alone.

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace veltrano::print {

class GuiApplicationScope {
public:
    GuiApplicationScope()
    {
        if (QCoreApplication::instance())
            return;
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    GuiApplicationScope(const GuiApplicationScope&) = delete;
    GuiApplicationScope& operator=(const GuiApplicationScope&) = delete;

    bool usable() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

private:
    // No window is shown, so no display is needed whatever the desktop.
    int m_argc = 3;
    char m_name[9] = "veltrano";
    char m_option[10] = "-platform";
    char m_platform[10] = "offscreen";
    char* m_argv[4] = {m_name, m_option, m_platform, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

} // namespace veltrano::print
