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
#include <QProgressDialog>
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

// Answers the modal windows that appear, one step per window, in order.
// The progress window is left alone, and so is a window already answered.  A window without a step is recorded
// as unexpected and closed, and so is a window whose step did not close it,
// so a test never hangs on a modal box.
class ModalScript : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(std::deque<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start(10);
    }

    bool finished() const { return m_steps.empty(); }
    QStringList unexpected;

private:
    void poll()
    {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || qobject_cast<QProgressDialog*>(window))
            return;
        // A window comes to the front again when the box over it closes;
        // it has had its step.
        for (const QPointer<QWidget>& handled : m_handled)
            if (handled == window)
                return;
        m_handled.emplace_back(window);
        // A step that fails before it answers must not leave the box open.
        QTimer::singleShot(3000, window, [window] {
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

// Clicks a button once the current timer event has returned: the click may
// open further modal windows, which the script must be free to answer.
inline void clickLater(QAbstractButton* button)
{
    QTimer::singleShot(0, button, [button] { button->click(); });
}

inline QAbstractButton* buttonNamed(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Answers a message box with the button of that text and hands its text and
// informative text to check.
inline ModalScript::Step answerBox(const QString& buttonText, QString* seen = nullptr,
                                   std::function<void()> whileOpen = {})
{
    return [buttonText, seen, whileOpen](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        QVERIFY2(box, qPrintable(QStringLiteral("expected a message box, got ") + window->metaObject()->className()));
        if (seen)
            *seen = box->windowTitle() + QLatin1Char('\n') + box->text() + QLatin1Char('\n') + box->informativeText();
        if (whileOpen)
            whileOpen();
        QAbstractButton* button = buttonNamed(box, buttonText);
        QVERIFY2(button, qPrintable(QStringLiteral("no button ") + buttonText));
        clickLater(button);
    };
}

} // namespace backuptest
