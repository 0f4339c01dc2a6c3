// The program entry: one copy per user, the windows created behind the
// splash window, the evaluation state of the whole run, and the main window
// on the catalogue (beside the executable, else in the installed data
// folder) until it closes.  A record file named on the command line opens in
// the inspection record window.

#include "catalogue/Catalogue.h"
#include "evaluation/Driver.h"
#include "look/WindowLook.h"
#include "recordwindow/RecordForm.h"
#include "startup/RecordHandOver.h"
#include "startup/SingleInstance.h"
#include "startup/StartUp.h"
#include "window/ENUnit3.h"
#include "window/RecordWindowLink.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <exception>
#include <memory>

#ifdef VELTRANO_STARTUP_BENCH
#include <QEvent>
#include <QWindow>

#include <cstdio>
#endif

namespace {

// Lives for the whole run; the main window and the report read it.
veltrano::EvaluationState gEvaluationState;

#ifdef VELTRANO_STARTUP_BENCH
// Built only into the start-up benchmark's copy of the program (never into
// the program itself): the splash's clock runs a second ahead at every
// reading, so its steps pass at once, and the program says "mapped" on its
// output and ends as soon as the main window is on the screen.
std::uint32_t benchTickCount()
{
    static std::uint32_t now = 0;
    return now += 1001;
}

class QuitWhenMapped : public QObject {
public:
    explicit QuitWhenMapped(const QWidget& window)
        : m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Expose && watched == m_window.windowHandle() &&
            m_window.windowHandle()->isExposed()) {
            m_done = true;
            // After the first paint, which the exposure sets off.
            QTimer::singleShot(0, qApp, [] {
                std::fputs("mapped\n", stdout);
                std::fflush(stdout);
                QCoreApplication::exit(0); // not quit(): that asks the main window to close
            });
        }
        return false;
    }

private:
    const QWidget& m_window;
    bool m_done = false;
};

const veltrano::TickCount kSplashTicks = benchTickCount;
#else
const veltrano::TickCount kSplashTicks = veltrano::SystemTickCount;
#endif

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // The program speaks German whatever the desktop's language: the standard
    // buttons of its message boxes and dialogs too ("Ja", "Nein", "Abbrechen").
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Held until the program ends.  A guard that cannot be made at all does
    // not keep the program from starting.
    const veltrano::SingleInstanceGuard guard(QStringLiteral("Veltrano.exe"));
    const QStringList arguments = QCoreApplication::arguments();
    const QString recordFile = arguments.size() > 1 ? arguments.at(1) : QString();
    const QString handOverPath = veltrano::recordHandOverPath(veltrano::SingleInstanceGuard::defaultFolder());
    if (guard.state() == veltrano::SingleInstanceGuard::State::AlreadyRunning) {
        // A record file opened from the desktop goes to the copy that runs.
        if (!recordFile.isEmpty() && veltrano::handOverRecordFile(handOverPath, recordFile))
            return 0;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Veltrano"), QStringLiteral("Das Programm läuft bereits !"),
                        QMessageBox::Ok);
        box.exec();
        return 0;
    }

    QApplication::setApplicationName(QStringLiteral("Veltrano"));
    QApplication::setDesktopFileName(QStringLiteral("de.veltrano.veltrano"));
    QApplication::setWindowIcon(veltrano::programIcon());
    veltrano::installFontSubstitutes();

    try {
        const std::filesystem::path programDir(QCoreApplication::applicationDirPath().toStdU16String());
        const std::unique_ptr<QWidget> form3 = veltrano::CreateWindowsBehindSplash(
            [&] { return new veltrano::TForm3(gEvaluationState, veltrano::findCatalogueFile(programDir)); },
            kSplashTicks);
#ifdef VELTRANO_STARTUP_BENCH
        QuitWhenMapped quitWhenMapped(*form3);
        app.installEventFilter(&quitWhenMapped);
#endif
        form3->show(); // the released splash goes as the event loop starts

        // `veltrano FILE` opens an inspection record beside the main window;
        // unsaved work of an earlier run is offered back first.  Files that
        // later starts hand over open the same way.
        auto& mainWindow = static_cast<veltrano::TForm3&>(*form3);
        std::unique_ptr<veltrano::RecordFileReceiver> receiver;
        if (guard.state() == veltrano::SingleInstanceGuard::State::Acquired) {
            receiver = std::make_unique<veltrano::RecordFileReceiver>(handOverPath);
            QObject::connect(receiver.get(), &veltrano::RecordFileReceiver::fileReceived, &mainWindow,
                             [&mainWindow](const QString& file) {
                                 if (QWidget* window = veltrano::showRecordWindow(mainWindow, file)) {
                                     window->raise();
                                     window->activateWindow();
                                 }
                             });
        }
        QTimer::singleShot(0, &mainWindow, [&mainWindow, recordFile] {
            veltrano::offerRecordRecovery(mainWindow);
            if (!recordFile.isEmpty())
                veltrano::showRecordWindow(mainWindow, recordFile);
        });
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Veltrano"), QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
