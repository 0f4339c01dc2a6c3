#pragma once
// The one answerer of the window tests for modal windows: message boxes,
// dialogs, file dialogs and previews.  It waits until a window is in front
// and holds the focus, as a person waits before answering, and then gives it
// the next step of its script, in order: a click where a button is seen or
// keys sent to the widget that has the focus.  A window without a step is
// recorded as unexpected and closed, and so is a window whose step did not
// close it within five seconds, so that a test never hangs on a modal box.
// An answer that could not be given as a person would is recorded as a
// problem.  Of answerers alive at once, the one made last answers.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace veltrano::test {

// What a modal window said when it was answered.
struct SeenWindow {
    QString className;
    QString title;
    QString text; // a message box's text; empty for other windows
    QString informativeText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class ModalAnswerer;
inline QString describe(const QWidget* window);
inline std::function<void(QWidget*)> clickButton(QMessageBox::StandardButton which);

class ModalAnswerer : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    // Which modal windows are answered: message boxes only (a preview or a
    // dialog that the test drives itself is left alone), or every one.
    enum class Scope { MessageBoxes, AllWindows };

    explicit ModalAnswerer(std::deque<Step> steps = {}, Scope scope = Scope::MessageBoxes)
        : m_steps(std::move(steps))
        , m_scope(scope)
    {
        m_previous = current();
        current() = this;
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(10);
    }
    ~ModalAnswerer() override { current() = m_previous; }

    void expect(Step step) { m_steps.push_back(std::move(step)); }
    // A message box answered with a click on one of its standard buttons.
    void expect(QMessageBox::StandardButton button) { expect(clickButton(button)); }
    // Every message box that has no step of its own is answered so, and not
    // counted as unexpected.
    void answerEveryBox(Step step) { m_everyBox = std::move(step); }
    // A window of this object name needs no answer (a progress window).
    void leaveAlone(const QString& objectName) { m_leftAlone << objectName; }

    const std::vector<SeenWindow>& answered() const { return m_answered; }
    const std::vector<SeenWindow>& unexpected() const { return m_unexpected; }
    const QStringList& problems() const { return m_problems; }
    int pending() const { return static_cast<int>(m_steps.size()); }
    bool finished() const { return m_steps.empty(); }

    // The unexpected windows, one line each, for a test's failure message.
    QString unexpectedText() const
    {
        QStringList lines;
        for (const SeenWindow& w : m_unexpected)
            lines << w.className + QStringLiteral(": ") + w.title +
                         (w.text.isEmpty() ? QString() : QStringLiteral(": ") + w.text);
        return lines.join(QLatin1Char('\n'));
    }

    // Records a problem with the answerer that runs now.
    static void problem(const QString& text)
    {
        if (current())
            current()->m_problems << text;
    }

private:
    static ModalAnswerer*& current()
    {
        static ModalAnswerer* answerer = nullptr;
        return answerer;
    }

    static SeenWindow seen(QWidget* window)
    {
        SeenWindow s{QString::fromLatin1(window->metaObject()->className()), window->windowTitle(), {}, {}, {}, {}};
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            s.text = box->text();
            s.informativeText = box->informativeText();
            s.icon = box->icon();
            s.buttons = box->standardButtons();
        }
        return s;
    }

    void poll()
    {
        // Of answerers alive at once, the one made last answers.
        if (current() != this)
            return;
        QWidget* window = QApplication::activeModalWidget();
        if (!window || !window->isVisible() || m_leftAlone.contains(window->objectName()))
            return;
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box && m_scope == Scope::MessageBoxes)
            return;
        // A window comes to the front again when the one over it closes; it
        // has had its step.
        for (const QPointer<QWidget>& handled : m_handled)
            if (handled == window)
                return;
        // Not yet answerable: the window has to hold the focus first.
        QWidget* focus = QApplication::focusWidget();
        if (!focus || (focus != window && !window->isAncestorOf(focus)))
            return;
        m_handled.emplace_back(window);
        // A step that fails before it answers must not leave the window open.
        QTimer::singleShot(5000, window, [window] {
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
        });
        if (m_steps.empty() && box && m_everyBox) {
            m_answered.push_back(seen(window));
            m_everyBox(window);
            return;
        }
        if (m_steps.empty()) {
            m_unexpected.push_back(seen(window));
            if (box)
                clickButton((box->standardButtons() & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)(box);
            else if (auto* dialog = qobject_cast<QDialog*>(window))
                QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
            return;
        }
        m_answered.push_back(seen(window));
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(window);
    }

    std::deque<Step> m_steps;
    Scope m_scope;
    Step m_everyBox;
    QStringList m_leftAlone;
    std::vector<QPointer<QWidget>> m_handled;
    std::vector<SeenWindow> m_answered;
    std::vector<SeenWindow> m_unexpected;
    QStringList m_problems;
    ModalAnswerer* m_previous = nullptr;
    QTimer m_timer;
};

inline QString describe(const QWidget* window)
{
    if (!window)
        return QStringLiteral("no window");
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(window->metaObject()->className()), window->windowTitle());
}

// A click on the standard button of a message box, where it is seen.
inline ModalAnswerer::Step clickButton(QMessageBox::StandardButton which)
{
    return [which](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        QAbstractButton* button = box ? box->button(which) : nullptr;
        if (!button) {
            ModalAnswerer::problem(QStringLiteral("no such button in: ") + describe(window));
            if (box)
                box->done(which);
            return;
        }
        const QPoint global = button->mapToGlobal(button->rect().center());
        QWidget* there = QApplication::widgetAt(global);
        if (there != button && !button->isAncestorOf(there)) {
            ModalAnswerer::problem(QStringLiteral("button covered in: ") + describe(window));
            box->done(which);
            return;
        }
        QTest::mouseClick(there, Qt::LeftButton, {}, there->mapFromGlobal(global));
    };
}

// Once the current timer event has returned and after delayMs, sends key
// to the widget that has the focus, provided the window is then the
// modal window in front and holds the focus; otherwise a problem.
// before runs just before the key is sent.
inline void pressLater(QWidget* window, Qt::Key key, int delayMs = 0, std::function<void()> before = {})
{
    QPointer<QWidget> target(window);
    QTimer::singleShot(delayMs, [target, key, before] {
        if (!target)
            return;
        if (before)
            before();
        QWidget* front = QApplication::activeModalWidget();
        QWidget* focus = QApplication::focusWidget();
        if (front != target) {
            ModalAnswerer::problem(describe(target) + QStringLiteral(" is covered by ") + describe(front));
            return;
        }
        if (!focus || (focus != target && !target->isAncestorOf(focus))) {
            ModalAnswerer::problem(describe(target) + QStringLiteral(" does not hold the focus"));
            return;
        }
        QTest::keyClick(focus, key);
    });
}

// The same with a click of the left button at the middle of control,
// which must be the widget seen there, in the modal window in front.
inline void clickLater(QWidget* control, int delayMs = 0, std::function<void()> before = {})
{
    QPointer<QWidget> target(control);
    QTimer::singleShot(delayMs, [target, before] {
        if (!target)
            return;
        if (before)
            before();
        QWidget* front = QApplication::activeModalWidget();
        if (front != target->window()) {
            ModalAnswerer::problem(describe(target->window()) + QStringLiteral(" is covered by ") + describe(front));
            return;
        }
        const QPoint global = target->mapToGlobal(target->rect().center());
        QWidget* seen = QApplication::widgetAt(global);
        if (seen != target && !target->isAncestorOf(seen)) {
            ModalAnswerer::problem(target->objectName() + QStringLiteral(" is hidden behind ") + describe(seen));
            return;
        }
        QTest::mouseClick(seen, Qt::LeftButton, {}, seen->mapFromGlobal(global));
    });
}

// A key to the window that has just come up, where a message box's
// mnemonics, Enter and Esc work.
inline ModalAnswerer::Step pressKey(Qt::Key key, int delayMs = 0)
{
    return [key, delayMs](QWidget* window) { pressLater(window, key, delayMs); };
}

} // namespace veltrano::test
