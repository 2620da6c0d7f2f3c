// Runs the control's events one at a time and holds them back while the control waits on its host:
// while a message box waits for its answer every event (timer tick, mouse, click, resize, repaint
// request, host write) is queued in arrival order and runs once the box is answered. During a pause
// the control's own events wait the same way; the host's calls do not, since the host goes on
// running meanwhile and reads back what it wrote.
#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <deque>
#include <functional>

class QObject;

namespace tarn::qt {

/// Counts a nesting for as long as it lives: the count goes back down however the scope ends.
class CountedScope {
public:
    explicit CountedScope(int& count) : count_(count) { ++count_; }
    ~CountedScope() { --count_; }
    CountedScope(const CountedScope&) = delete;
    CountedScope& operator=(const CountedScope&) = delete;

private:
    int& count_;
};

class EventGate {
public:
    /// Single: one of the control's own events. Tick, Resize, Paint: requests of which one
    /// waiting copy is enough: a second one while the first still waits adds nothing, because the
    /// first one already reads the control's state when it runs. Host: a call of the host (a
    /// property write, a method), which runs at once unless a message box is open.
    enum class Kind { Single, Tick, Resize, Paint, Host };

    /// context receives the queued call that runs the waiting events.
    explicit EventGate(QObject& context);
    EventGate(const EventGate&) = delete;
    EventGate& operator=(const EventGate&) = delete;

    /// Runs action now, or queues it while the control waits on its host or earlier events
    /// still wait. A call made from inside a running action (a listener of the control's event
    /// writing a property) runs at once unless the control waits on its host.
    void Deliver(std::function<void()> action, Kind kind = Kind::Single);
    /// Runs a wait on the host (a pause of its own); everything delivered meanwhile waits.
    void Hold(const std::function<void()>& wait);
    /// Holds everything from now until the matching EndHold, without waiting: the caller goes on,
    /// and so does the event loop (a message box waiting for its answer).
    void BeginHold();
    /// Ends one BeginHold; what waits runs from the event loop once nothing holds it.
    void EndHold();
    /// Runs action now as part of the event running (the rest of it, after an answer): calls it
    /// delivers run at once unless something holds the gate.
    void RunInPlace(const std::function<void()>& action) { Run(action); }
    /// Holds the control's events for milliseconds without waiting: returns at once, and the
    /// event loop runs on meanwhile. A pause asked for while one is still pending starts where
    /// the pending one ends, as two pauses in a row would. Nothing is held for 0 or less.
    void HoldFor(int milliseconds);

    /// Whether a pause of HoldFor has yet to end.
    bool Pausing() const { return paused_; }

    bool Holding() const { return holding_ > 0 || paused_; }
    /// Number of events waiting.
    int Waiting() const { return static_cast<int>(waiting_.size()); }

private:
    struct Entry {
        Kind kind;
        std::function<void()> action;
    };
    void Run(const std::function<void()>& action);
    void ScheduleDrain();
    void Drain();
    void EndPause();

    QObject& context_;
    /// Waits on the host now: pauses of its own and unanswered message boxes.
    int holding_ = 0;
    /// True from HoldFor until its pause ends.
    bool paused_ = false;
    int running_ = 0;
    bool drainScheduled_ = false;
    std::deque<Entry> waiting_;
    /// Ends the pending pause; while it runs, the pause counts as one hold.
    QTimer pauseTimer_;
    QDeadlineTimer pauseEnd_;
};

}  // namespace tarn::qt
