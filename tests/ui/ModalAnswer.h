#pragma once
// Answers a modal window the way a user would: the test arms the answer, then opens the window, whose
// own event loop runs the answer once the window is up (polled: a slow machine opens it late).
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

// An armed answer. It polls only while this object lives: a window that never opened leaves no poll
// behind to answer some later test's window or to write to a flag that has gone out of scope.
class TModalAnswer {
public:
    TModalAnswer() = default; // nothing armed yet
    explicit TModalAnswer(std::unique_ptr<QTimer> Poll) : FPoll(std::move(Poll)) {}
    TModalAnswer(TModalAnswer&&) noexcept = default;
    TModalAnswer& operator=(TModalAnswer&&) noexcept = default;
    ~TModalAnswer() {
        if (FPoll)
            FPoll->stop();
    }

    // Still waiting for its window.
    bool Armed() const { return FPoll && FPoll->isActive(); }

private:
    std::unique_ptr<QTimer> FPoll;
};

// Runs Step on the next modal window of type T as soon as it is up (the caller then opens it, while the
// returned answer is kept). Seen becomes true when the step ran.
template <class T> [[nodiscard]] TModalAnswer OnNextModal(std::function<void(T*)> Step, bool& Seen) {
    auto Poll = std::make_unique<QTimer>();
    QTimer* P = Poll.get();
    QObject::connect(P, &QTimer::timeout, [P, Step, &Seen] {
        auto* W = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!W)
            return;
        P->stop();
        Seen = true;
        Step(W);
        // A step that failed half-way leaves its window open: close it, so that the test goes on to report.
        if (auto* D = qobject_cast<QDialog*>(W); D && D->isVisible())
            D->reject();
    });
    P->start(20);
    return TModalAnswer(std::move(Poll));
}
