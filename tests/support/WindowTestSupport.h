#pragma once
// Helpers of the main window tests: the form on the built catalogue, shown
// and activated offscreen, and an answerer for the message boxes a test
// expects (any other message box fails the test).

#include "Catalogue.h"
#include "Driver.h"
#include "ENUnit3.h"
#include "SpinEdit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <memory>
#include <vector>

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

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Watches for modal message boxes and answers the expected ones in order,
// as a person does: once the box is in front and holds the focus, with a
// click where its button is seen.  An answer that cannot be given so counts
// as unexpected, and the box is closed so that the test never hangs.
class MessageBoxAnswerer : public QObject {
public:
    MessageBoxAnswerer()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    void expect(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }

    const std::vector<SeenBox>& answered() const { return m_answered; }
    const std::vector<SeenBox>& unexpected() const { return m_unexpected; }
    int pending() const { return static_cast<int>(m_answers.size()); }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_current)
            return;
        // Not yet answerable: the box has to hold the focus first.
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !box->isAncestorOf(focus))
            return;
        m_current = box;
        SeenBox seen{box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        QMessageBox::StandardButton answer;
        if (m_answers.empty()) {
            m_unexpected.push_back(seen);
            answer = (box->standardButtons() & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
        } else {
            answer = m_answers.front();
            m_answers.pop_front();
            m_answered.push_back(seen);
        }
        QAbstractButton* button = box->button(answer);
        if (!button) {
            seen.text = QStringLiteral("no such button in: ") + seen.text;
            m_unexpected.push_back(seen);
            box->done(answer);
            return;
        }
        const QPoint global = button->mapToGlobal(button->rect().center());
        QWidget* there = QApplication::widgetAt(global);
        if (there != button && !button->isAncestorOf(there)) {
            seen.text = QStringLiteral("button covered in: ") + seen.text;
            m_unexpected.push_back(seen);
            box->done(answer);
            return;
        }
        QTest::mouseClick(there, Qt::LeftButton, {}, there->mapFromGlobal(global));
    }

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<SeenBox> m_answered;
    std::vector<SeenBox> m_unexpected;
    QPointer<QMessageBox> m_current;
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
