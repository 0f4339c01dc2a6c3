#pragma once
// Answers the message boxes that a command opens, so that a test never hangs
// on a modal box, and keeps what each box said.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QStringList>
#include <QTimer>

class MessageBoxWatch {
public:
    struct Box {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };

    MessageBoxWatch()
    {
        timer_.setInterval(10);
        // Answered as a person does: Enter, sent to the box once it is in
        // front and holds the focus.
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QWidget* focus = QApplication::focusWidget();
            if (!box || box == current_ || !focus || !box->isAncestorOf(focus))
                return;
            current_ = box;
            boxes_.push_back({box->windowTitle(), box->text(), box->icon()});
            QTest::keyClick(focus, Qt::Key_Return);
        });
        timer_.start();
    }

    const QList<Box>& boxes() const { return boxes_; }

private:
    QTimer timer_;
    QList<Box> boxes_;
    QPointer<QMessageBox> current_;
};
