#include "controller/EventGate.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <limits>
#include <utility>

namespace tarn::qt {

EventGate::EventGate(QObject& context) : context_(context) {
    pauseTimer_.setSingleShot(true);
    pauseTimer_.setTimerType(Qt::PreciseTimer);
    // The timer belongs to the gate, so a gate destroyed during a pause never hears from it.
    QObject::connect(&pauseTimer_, &QTimer::timeout, &pauseTimer_, [this] { EndPause(); });
}

void EventGate::Deliver(std::function<void()> action, Kind kind) {
    const bool inOrder = running_ > 0 || waiting_.empty();
    // The host's own calls run at once unless a message box is open, even ahead of the
    // control's events waiting for a pause to end: the host reads back what it wrote.
    if (holding_ == 0 && ((!paused_ && inOrder) || kind == Kind::Host)) {
        Run(action);
        return;
    }
    const bool alreadyWaiting =
        kind != Kind::Single &&
        std::any_of(waiting_.begin(), waiting_.end(),
                    [kind](const Entry& entry) { return entry.kind == kind; });
    if (!alreadyWaiting) waiting_.push_back(Entry{kind, std::move(action)});
    ScheduleDrain();
}

void EventGate::Run(const std::function<void()>& action) {
    const CountedScope running(running_);
    action();
}

void EventGate::Hold(const std::function<void()>& wait) {
    // The drain is scheduled once the hold has ended, whether the wait returned or threw.
    struct Release {
        EventGate& gate;
        ~Release() { gate.ScheduleDrain(); }
    } release{*this};
    const CountedScope holding(holding_);
    wait();
}

void EventGate::BeginHold() {
    ++holding_;
}

void EventGate::EndHold() {
    if (holding_ == 0) return;
    --holding_;
    ScheduleDrain();
}

void EventGate::HoldFor(int milliseconds) {
    if (milliseconds <= 0) {
        ScheduleDrain();
        return;
    }
    if (pauseTimer_.isActive()) {
        pauseEnd_ = QDeadlineTimer(pauseEnd_.remainingTime() + milliseconds, Qt::PreciseTimer);
    } else {
        paused_ = true;
        pauseEnd_ = QDeadlineTimer(milliseconds, Qt::PreciseTimer);
    }
    pauseTimer_.start(static_cast<int>(
        std::clamp<qint64>(pauseEnd_.remainingTime(), 0, std::numeric_limits<int>::max())));
}

void EventGate::EndPause() {
    // A timer may come a little early; the pause lasts at least as long as asked.
    const qint64 remaining = pauseEnd_.remainingTime();
    if (remaining > 0) {
        pauseTimer_.start(
            static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
        return;
    }
    paused_ = false;
    ScheduleDrain();
}

void EventGate::ScheduleDrain() {
    if (Holding() || waiting_.empty() || drainScheduled_) return;
    // The waiting events run from the event loop, once the operation that waited has returned.
    drainScheduled_ = true;
    QMetaObject::invokeMethod(
        &context_, [this] { Drain(); }, Qt::QueuedConnection);
}

void EventGate::Drain() {
    drainScheduled_ = false;
    while (!Holding() && !waiting_.empty()) {
        Entry entry = std::move(waiting_.front());
        waiting_.pop_front();
        Run(entry.action);
    }
}

}  // namespace tarn::qt
