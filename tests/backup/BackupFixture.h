#pragma once
// Helpers of the backup tests: a program folder in a temporary place, and a
// driver for the modal windows that the dialog opens.

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace backuptest {

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry of a folder, hidden ones too: a leftover temporary file shows.
inline QStringList entriesOf(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Answers the modal windows that appear, one step per window, in order, the
// way a person does: with keys sent to the widget that has the focus, or a
// click where a control is seen.  The progress window needs no answer and is
// left alone, and so is a window already answered.  A window without a step
// is recorded as unexpected and closed, and so is a window whose step did not
// close it, so a test never hangs on a modal box.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(std::deque<Step> steps) : m_steps(std::move(steps))
    {
        current() = this;
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start(10);
    }
    ~ModalScript() override { current() = nullptr; }

    bool finished() const { return m_steps.empty(); }
    QStringList unexpected;
    QStringList problems; // an answer that could not be given as a person would

    // The script that runs now, for the answers to report their problems.
    static ModalScript*& current()
    {
        static ModalScript* script = nullptr;
        return script;
    }
    static void problem(const QString& text)
    {
        if (current())
            current()->problems << text;
    }

private:
    void poll()
    {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->objectName() == QLatin1String("ProgressBackup"))
            return;
        // A window comes to the front again when the box over it closes;
        // it has had its step.
        for (const QPointer<QWidget>& handled : m_handled)
            if (handled == window)
                return;
        m_handled.emplace_back(window);
        // A step that fails before it answers must not leave the box open.
        QTimer::singleShot(5000, window, [window] {
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
        });
        if (m_steps.empty()) {
            unexpected << window->metaObject()->className() + QStringLiteral(": ") + window->windowTitle()
                    + (qobject_cast<QMessageBox*>(window) ? QStringLiteral(": ") + qobject_cast<QMessageBox*>(window)->text()
                                                           : QString());
            QTimer::singleShot(0, window, [window] { static_cast<QDialog*>(window)->reject(); });
            return;
        }
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(window);
    }

    std::deque<Step> m_steps;
    std::vector<QPointer<QWidget>> m_handled;
    QTimer m_timer;
};

inline QString describeWindow(const QWidget* window)
{
    if (!window)
        return QStringLiteral("no window");
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(window->metaObject()->className()), window->windowTitle());
}

// A person reads a box before answering it.  Longer than any delay after
// which a progress window would show itself.
constexpr int kReadingTime = 700;

// Once the current timer event has returned and after delayMs, sends key to
// the widget that has the focus, provided window is then the modal window
// in front and holds the focus.  Otherwise the problem is recorded.  before
// runs just before the key is sent.
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
            ModalScript::problem(describeWindow(target) + QStringLiteral(" is covered by ") + describeWindow(front));
            return;
        }
        if (!focus || (focus != target && !target->isAncestorOf(focus))) {
            ModalScript::problem(describeWindow(target) + QStringLiteral(" does not hold the focus"));
            return;
        }
        QTest::keyClick(focus, key);
    });
}

// The same with a click of the left button at the middle of control, which
// must be the widget seen there, in the modal window in front.
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
            ModalScript::problem(describeWindow(target->window()) + QStringLiteral(" is covered by ")
                                 + describeWindow(front));
            return;
        }
        const QPoint global = target->mapToGlobal(target->rect().center());
        QWidget* seen = QApplication::widgetAt(global);
        if (seen != target && !target->isAncestorOf(seen)) {
            ModalScript::problem(target->objectName() + QStringLiteral(" is hidden behind ") + describeWindow(seen));
            return;
        }
        QTest::mouseClick(seen, Qt::LeftButton, {}, seen->mapFromGlobal(global));
    });
}

inline QAbstractButton* buttonNamed(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Answers a message box, after reading it, with key (Enter takes the
// default button, Esc the escape button) and hands its caption, text and
// informative text to seen; whileOpen runs just before the answer.
inline ModalScript::Step answerBoxByKey(Qt::Key key, QString* seen = nullptr, std::function<void()> whileOpen = {})
{
    return [key, seen, whileOpen](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            ModalScript::problem(QStringLiteral("expected a message box, got ") + describeWindow(window));
            return;
        }
        if (seen)
            *seen = box->windowTitle() + QLatin1Char('\n') + box->text() + QLatin1Char('\n') + box->informativeText();
        pressLater(box, key, kReadingTime, whileOpen);
    };
}

// The same with a click on the button of that text.
inline ModalScript::Step answerBoxByClick(const QString& buttonText, QString* seen = nullptr,
                                          std::function<void()> whileOpen = {})
{
    return [buttonText, seen, whileOpen](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            ModalScript::problem(QStringLiteral("expected a message box, got ") + describeWindow(window));
            return;
        }
        if (seen)
            *seen = box->windowTitle() + QLatin1Char('\n') + box->text() + QLatin1Char('\n') + box->informativeText();
        QAbstractButton* button = buttonNamed(box, buttonText);
        if (!button) {
            ModalScript::problem(QStringLiteral("no button ") + buttonText);
            return;
        }
        clickLater(button, kReadingTime, whileOpen);
    };
}

} // namespace backuptest
