#pragma once
// Answers the message boxes that a command opens, so that a test never hangs
// on a modal box, and keeps what each box said.

#include <QApplication>
#include <QMessageBox>
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
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes_.push_back({box->windowTitle(), box->text(), box->icon()});
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start();
    }

    const QList<Box>& boxes() const { return boxes_; }

private:
    QTimer timer_;
    QList<Box> boxes_;
};
