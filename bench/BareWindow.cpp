// The yardstick of the start-up benchmark: a bare Qt main window, shown and
// ended the same way as the benchmark's copy of the program ("mapped" on the
// output once the window is on the screen).

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

class QuitWhenMapped : public QObject {
public:
    explicit QuitWhenMapped(const QWidget& window) : m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Expose && watched == m_window.windowHandle()
            && m_window.windowHandle()->isExposed()) {
            m_done = true;
            QTimer::singleShot(0, qApp, [] {
                std::fputs("mapped\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0); // as the program's copy ends
            });
        }
        return false;
    }

private:
    const QWidget& m_window;
    bool m_done = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    QuitWhenMapped quitWhenMapped(window);
    app.installEventFilter(&quitWhenMapped);
    window.show();
    return QApplication::exec();
}
