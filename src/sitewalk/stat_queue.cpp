#include "sitewalk/stat_queue.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace velmora {

namespace {

// Beyond this many queued folders the caller states one itself: the helpers
// are behind, and every queued folder holds a descriptor open.
constexpr size_t kMaxQueued = 32;

} // namespace

FolderStats::FolderStats(int dirFd, QString folder, std::vector<Match> matches)
    : dirFd_(dirFd), folder_(std::move(folder)), matches_(std::move(matches)),
      lines_(matches_.size()) {}

FolderStats::~FolderStats() {
    if (dirFd_ >= 0)
        ::close(dirFd_);
}

void FolderStats::Run() {
    for (size_t k = 0; k < matches_.size(); ++k) {
        Match &match = matches_[k];
        struct stat st {};
        if (!match.hasStat && ::fstatat(dirFd_, match.rawName.constData(), &st, 0) == 0) {
            match.hasStat = true;
            match.size = qint64(st.st_size);
            match.modified = st.st_mtime;
        }
        if (match.hasStat)
            lines_[k] = MakeEntryLine(folder_, {match.name, match.size, match.modified});
    }
    ::close(dirFd_);
    dirFd_ = -1;
    matches_.clear();
    done_.store(true, std::memory_order_release);
}

StatQueue::StatQueue(unsigned helpers) : helperCount_(helpers) {}

StatQueue::~StatQueue() {
    for (std::jthread &helper : helpers_)
        helper.request_stop();
    workArrived_.notify_all();
    helpers_.clear(); // joins before the queue and its locks go
}

void StatQueue::StartHelpers() {
    helpers_.reserve(helperCount_);
    try {
        for (unsigned i = 0; i < helperCount_; ++i)
            helpers_.emplace_back([this](std::stop_token stop) { HelperLoop(stop); });
    } catch (const std::system_error &) {
        // Without threads to spare the caller states everything itself.
    }
    helperCount_ = unsigned(helpers_.size());
}

void StatQueue::Submit(std::shared_ptr<FolderStats> folder) {
    if (helperCount_ > 0 && helpers_.empty())
        StartHelpers();
    if (helperCount_ == 0) {
        folder->Run();
        return;
    }
    std::shared_ptr<FolderStats> own;
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(folder));
        if (queue_.size() > kMaxQueued) {
            own = std::move(queue_.front());
            queue_.pop_front();
        }
        wake = idleHelpers_ > 0;
    }
    if (wake)
        workArrived_.notify_one();
    if (own)
        own->Run();
}

std::shared_ptr<FolderStats> StatQueue::PopOldest() {
    std::lock_guard lock(mutex_);
    if (queue_.empty())
        return nullptr;
    std::shared_ptr<FolderStats> folder = std::move(queue_.front());
    queue_.pop_front();
    return folder;
}

void StatQueue::WaitFor(FolderStats &folder) {
    while (!folder.Done()) {
        if (std::shared_ptr<FolderStats> queued = PopOldest()) {
            queued->Run();
            continue;
        }
        // Nothing queued: a helper is stating this folder right now.
        std::unique_lock lock(mutex_);
        waiting_ = true;
        folderDone_.wait(lock, [&] { return folder.Done(); });
        waiting_ = false;
    }
}

void StatQueue::HelperLoop(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (queue_.empty()) {
            ++idleHelpers_;
            workArrived_.wait(lock, stop, [&] { return !queue_.empty(); });
            --idleHelpers_;
            continue;
        }
        std::shared_ptr<FolderStats> folder = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        folder->Run();
        folder.reset();
        lock.lock();
        if (waiting_)
            folderDone_.notify_all();
    }
}

} // namespace velmora
