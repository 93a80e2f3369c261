#pragma once
// Answers a modal window the way a user would: the test arms the answer, then opens the window, whose
// own event loop runs the answer once the window is up (polled: a slow machine opens it late).
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>

// Runs Step on the next modal window of type T as soon as it is up (the caller then opens it).
template <class T> void OnNextModal(std::function<void(T*)> Step, bool& Seen) {
    auto* Poll = new QTimer;
    QObject::connect(Poll, &QTimer::timeout, [Poll, Step, &Seen] {
        auto* W = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!W)
            return;
        Poll->stop();
        Poll->deleteLater();
        Seen = true;
        Step(W);
        // A step that failed half-way leaves its window open: close it, so that the test goes on to report.
        if (auto* D = qobject_cast<QDialog*>(W); D && D->isVisible())
            D->reject();
    });
    Poll->start(20);
}
