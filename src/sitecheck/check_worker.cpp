#include "sitecheck/check_worker.h"

#include <QMetaObject>

namespace velmora {

namespace {

// Problems reach the window at most this often, or in batches of this size,
// so that a site full of broken links does not flood the event queue.
constexpr qint64 kFlushMs = 50;
constexpr qsizetype kFlushRows = 200;

} // namespace

CheckWorker::CheckWorker(QObject *parent) : QObject(parent) {
    qRegisterMetaType<LinkProblem>();
    qRegisterMetaType<QList<LinkProblem>>();
    qRegisterMetaType<SiteCheckSummary>();
}

CheckWorker::~CheckWorker() {
    stop_ = true;
    Join();
}

void CheckWorker::Join() {
    if (thread_.joinable())
        thread_.join();
}

void CheckWorker::Start(const SiteCheckOptions &options) {
    stop_ = true;
    Join();
    stop_ = false;
    pending_.clear();
    running_ = true;
    const quint64 run = ++run_;
    thread_ = std::thread([this, options, run] { Work(options, run); });
}

void CheckWorker::Stop() {
    stop_ = true;
}

void CheckWorker::Work(SiteCheckOptions options, quint64 run) {
    QElapsedTimer timer;
    timer.start();
    sinceFlush_.start();
    const SiteCheck check(std::move(options));
    const SiteCheckSummary summary = check.Run(
        [this, run](const LinkProblem &problem) {
            {
                const std::lock_guard lock(pendingMutex_);
                pending_.append(problem);
            }
            Flush(run, false);
        },
        &stop_,
        [this, run](int done, int total) {
            Flush(run, false);
            QMetaObject::invokeMethod(
                this,
                [this, run, done, total] {
                    if (run == run_)
                        emit Progress(done, total);
                },
                Qt::QueuedConnection);
        });
    Flush(run, true);
    const double seconds = double(timer.elapsed()) / 1000.0;
    QMetaObject::invokeMethod(
        this,
        [this, run, summary, seconds] {
            if (run != run_)
                return;
            running_ = false;
            Join();
            emit Finished(summary, seconds);
        },
        Qt::QueuedConnection);
}

void CheckWorker::Flush(quint64 run, bool force) {
    QList<LinkProblem> batch;
    {
        const std::lock_guard lock(pendingMutex_);
        if (pending_.isEmpty() ||
            (!force && pending_.size() < kFlushRows && sinceFlush_.elapsed() < kFlushMs))
            return;
        batch.swap(pending_);
    }
    sinceFlush_.restart();
    QMetaObject::invokeMethod(
        this, [this, run, batch] { Deliver(run, batch); }, Qt::QueuedConnection);
}

void CheckWorker::Deliver(quint64 run, const QList<LinkProblem> &problems) {
    if (run == run_)
        emit ProblemsFound(problems);
}

} // namespace velmora
