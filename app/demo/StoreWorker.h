// The demo window's store calls, run on a thread of their own against the worker's own connection
// to the database file. A database held by another program then delays a save, never the window:
// the window hands over a job, the job runs on the worker's thread (waiting there, up to the
// store's busy timeout, for a lock), and the reply it returns is delivered on the window's thread.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

#include "storage/ScheduleStore.h"

namespace tarn::app {

class StoreWorker final : public QObject {
    Q_OBJECT

public:
    /// Run on the thread of the receiver of `replied`, with what a job found.
    using Reply = std::function<void()>;
    /// Run on the worker's thread. It may use only the store and what it captured by value; the
    /// reply it returns (may be empty) is what reaches the window.
    using Job = std::function<Reply(storage::ScheduleStore&)>;

    /// Starts the thread. The store at `path` is opened there, by the first job.
    StoreWorker(QString path, storage::StoreOptions options, QObject* parent = nullptr);
    /// Lets a running job finish, drops the queued ones unrun and closes the store on its thread.
    ~StoreWorker() override;

    /// Queues a job behind the ones before it; jobs run one at a time, in order. Its reply comes
    /// through `replied`, or `unavailable` when the database could not be opened.
    void run(Job job);

Q_SIGNALS:
    void replied(tarn::app::StoreWorker::Reply reply);
    void unavailable(QString message);

private:
    struct Connection;

    QThread thread_;
    /// Lives on the worker's thread: the context of the jobs posted there.
    QObject* context_ = nullptr;
    std::shared_ptr<Connection> connection_;
    std::atomic<bool> stopping_{false};
};

}  // namespace tarn::app
