#include "app/demo/StoreWorker.h"

#include <QMetaObject>

namespace tarn::app {

/// The worker thread's own store, opened when the first job runs. Touched only on that thread.
struct StoreWorker::Connection {
    QString path;
    storage::StoreOptions options;
    std::unique_ptr<storage::ScheduleStore> store;
    QString openFailure;
};

StoreWorker::StoreWorker(QString path, storage::StoreOptions options, QObject* parent)
    : QObject(parent), context_(new QObject), connection_(std::make_shared<Connection>()) {
    connection_->path = std::move(path);
    connection_->options = options;
    thread_.setObjectName(QStringLiteral("schedule store"));
    context_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

StoreWorker::~StoreWorker() {
    stopping_ = true;
    // Posted behind every queued job, which now return at once: the store is closed on the
    // thread that opened it, and the thread ends.
    QMetaObject::invokeMethod(
        context_,
        [connection = connection_] {
            connection->store.reset();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    thread_.wait();
}

void StoreWorker::run(Job job) {
    QMetaObject::invokeMethod(
        context_,
        [this, connection = connection_, job = std::move(job)] {
            if (stopping_) return;
            if (!connection->store && connection->openFailure.isEmpty()) {
                auto opened = storage::ScheduleStore::Open(connection->path, connection->options);
                if (opened)
                    connection->store = std::move(opened).Value();
                else
                    connection->openFailure = opened.Error().message;
            }
            if (!connection->store) {
                Q_EMIT unavailable(connection->openFailure);
                return;
            }
            Q_EMIT replied(job(*connection->store));
        },
        Qt::QueuedConnection);
}

}  // namespace tarn::app
