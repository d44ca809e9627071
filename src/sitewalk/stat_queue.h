#pragma once
// Reads the size and date of a search's matches on helper threads while the
// search goes on listing folders. Stating the files is most of a search's
// cost; the listing itself stays on the calling thread, in order.

#include "sitewalk/file_entry.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace velmora {

// The matches of one listed folder, stated relative to the folder's open
// descriptor so that the kernel need not walk the whole path for each file.
class FolderStats {
public:
    struct Match {
        QString name;
        QByteArray rawName;   // the name as the file system holds it
        bool hasStat = false; // already stated while listing (links)
        qint64 size = 0;
        std::time_t modified = 0;
    };

    // Takes over dirFd; it is closed once the matches are stated.
    FolderStats(int dirFd, QString folder, std::vector<Match> matches);
    ~FolderStats();
    FolderStats(const FolderStats &) = delete;
    FolderStats &operator=(const FolderStats &) = delete;

    // States every match and forms its entry line; an empty line for a file
    // that is gone or cannot be held in an entry line.
    void Run();
    bool Done() const { return done_.load(std::memory_order_acquire); }
    // The entry line of match k; only after Done().
    QString TakeLine(size_t k) { return std::move(lines_[k]); }

private:
    int dirFd_;
    QString folder_;
    std::vector<Match> matches_;
    std::vector<QString> lines_;
    std::atomic<bool> done_{false};
};

// Runs FolderStats on helper threads. The caller hands over folders as it
// lists them and runs queued work itself when the helpers fall behind, which
// also bounds the number of folders held open.
class StatQueue {
public:
    // helpers = 0 runs everything on the caller's thread.
    explicit StatQueue(unsigned helpers);
    ~StatQueue();
    StatQueue(const StatQueue &) = delete;
    StatQueue &operator=(const StatQueue &) = delete;

    void Submit(std::shared_ptr<FolderStats> folder);
    // Returns once folder is done, helping with queued work meanwhile.
    void WaitFor(FolderStats &folder);

private:
    std::shared_ptr<FolderStats> PopOldest();
    void HelperLoop(std::stop_token stop);
    void StartHelpers();

    unsigned helperCount_;
    std::mutex mutex_;
    std::condition_variable_any workArrived_;
    std::condition_variable folderDone_;
    std::deque<std::shared_ptr<FolderStats>> queue_;
    unsigned idleHelpers_ = 0;
    bool waiting_ = false; // the caller sleeps in WaitFor
    std::vector<std::jthread> helpers_;
};

} // namespace velmora
