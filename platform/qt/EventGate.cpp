#include "platform/qt/EventGate.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <utility>

namespace tarn::qt {

void EventGate::Deliver(std::function<void()> action, Kind kind) {
    if (holding_ == 0 && (running_ > 0 || waiting_.empty())) {
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
    ++running_;
    try {
        action();
    } catch (...) {
        --running_;
        throw;
    }
    --running_;
}

void EventGate::Hold(const std::function<void()>& wait) {
    ++holding_;
    try {
        wait();
    } catch (...) {
        --holding_;
        ScheduleDrain();
        throw;
    }
    --holding_;
    ScheduleDrain();
}

void EventGate::ScheduleDrain() {
    if (holding_ > 0 || waiting_.empty() || drainScheduled_) return;
    // The waiting events run from the event loop, once the operation that waited has returned.
    drainScheduled_ = true;
    QMetaObject::invokeMethod(
        &context_, [this] { Drain(); }, Qt::QueuedConnection);
}

void EventGate::Drain() {
    drainScheduled_ = false;
    while (holding_ == 0 && !waiting_.empty()) {
        Entry entry = std::move(waiting_.front());
        waiting_.pop_front();
        Run(entry.action);
    }
}

}  // namespace tarn::qt
