#pragma once
// Helpers of the backup tests: a program folder in a temporary place, and
// the script for the modal windows that the dialog opens.

#include "ModalAnswerer.h"

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

// The modal windows of the backup are all answered by a script, one step
// per window in order; the progress window needs no answer.
class ModalScript : public veltrano::test::ModalAnswerer {
public:
    explicit ModalScript(std::deque<Step> steps)
        : ModalAnswerer(std::move(steps), Scope::AllWindows)
    {
        leaveAlone(QStringLiteral("ProgressBackup"));
    }
};

using veltrano::test::clickLater;
using veltrano::test::pressLater;

// A person reads a box before answering it.  Longer than any delay after
// which a progress window would show itself.
constexpr int kReadingTime = 700;

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
            ModalScript::problem(QStringLiteral("expected a message box, got ") + veltrano::test::describe(window));
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
            ModalScript::problem(QStringLiteral("expected a message box, got ") + veltrano::test::describe(window));
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
