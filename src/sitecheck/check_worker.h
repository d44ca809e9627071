#pragma once
// Runs a link check on a thread of its own, so that the window stays
// responsive, and hands the problems to the window's thread in small batches
// as they are found. The worker owns its thread: Stop (or the worker's end)
// sets the stop flag, which the check looks at between pages and within
// large ones, and the thread is joined before anything it uses goes.

#include "sitecheck/site_check.h"

#include <QElapsedTimer>
#include <QList>
#include <QMetaType>
#include <QObject>

#include <atomic>
#include <mutex>
#include <thread>

namespace velmora {

class CheckWorker final : public QObject {
    Q_OBJECT
public:
    explicit CheckWorker(QObject *parent = nullptr);
    ~CheckWorker() override;

    // Starts a check; a check still running is stopped first.
    void Start(const SiteCheckOptions &options);
    // Asks the running check to end; Finished follows with stopped set.
    void Stop();
    bool Running() const { return running_; }

signals:
    // Problems found since the last batch, in the order found.
    void ProblemsFound(const QList<velmora::LinkProblem> &problems);
    void Progress(int pagesDone, int pagesTotal);
    // The run is over (completed or stopped); seconds is its duration.
    void Finished(const velmora::SiteCheckSummary &summary, double seconds);

private:
    void Join();
    // On the worker thread.
    void Work(SiteCheckOptions options, quint64 run);
    void Flush(quint64 run, bool force);
    // On the window's thread: drops what a replaced run still sends.
    void Deliver(quint64 run, const QList<LinkProblem> &problems);

    std::thread thread_;
    std::atomic_bool stop_{false};
    std::atomic<quint64> run_{0};
    bool running_ = false;
    std::mutex pendingMutex_;
    QList<LinkProblem> pending_;
    QElapsedTimer sinceFlush_;
};

} // namespace velmora

Q_DECLARE_METATYPE(velmora::LinkProblem)
Q_DECLARE_METATYPE(velmora::SiteCheckSummary)
