#pragma once
// Helpers of the window tests: the main window on the built catalogue,
// shown and activated offscreen, and the answerer of modal windows.

#include "ModalAnswerer.h"
#include "catalogue/Catalogue.h"
#include "evaluation/Driver.h"
#include "window/ENUnit3.h"
#include "window/SpinEdit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QString>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <filesystem>
#include <memory>

namespace veltrano::test {

inline std::filesystem::path builtCatalogue()
{
    return std::filesystem::path(VELTRANO_TEST_CATALOGUE);
}

// Texts as a German desktop shows them.
inline void useGermanLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

// The main window on a catalogue, the built one unless told, with the
// evaluation state of its run.  The window goes before its state.
struct MainWindow {
    explicit MainWindow(const std::filesystem::path& catalogue = builtCatalogue())
        : form(state, catalogue)
    {
    }
    EvaluationState state;
    TForm3 form;
};

// Shows the form and waits for its first activation (the set-up).
inline bool showAndActivate(TForm3& form)
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

// Makes another window of the program active and then the form again, as
// closing a dialog or the info window does.
inline bool visitOtherWindow(TForm3& form)
{
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(100, 50);
    other.show();
    other.activateWindow();
    if (!QTest::qWaitForWindowActive(&other))
        return false;
    other.close();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

inline QString statusPanel(const TForm3& form, int panel)
{
    return form.StatusPanels[static_cast<std::size_t>(panel)]->text();
}

inline int filledEntries(const EvaluationState& state)
{
    int n = 0;
    for (int i = 1; i < EvaluationState::kCacheSize; ++i)
        n += state.aResult[static_cast<std::size_t>(i)].empty() ? 0 : 1;
    return n;
}

} // namespace veltrano::test
