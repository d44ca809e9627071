#include "sitesearch/site_search.h"

#include "foundation/file_masks.h"
#include "foundation/text_codec.h"
#include "sitesearch/byte_prefilter.h"
#include "sitewalk/file_search.h"

#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace velmora {

// One search: the walk on one thread hands the pages it finds to the
// searching threads through a short queue; their results are put back into
// the walk's order before they are sent.
class SiteSearch::Run {
public:
    // Takes the page's result: thousands of occurrences are moved, not copied.
    using DeliverFn = std::function<void(FileMatches &&)>;
    using FinishFn = std::function<void(const SearchSummary &)>;

    Run(const SiteSearchQuery &query, qint64 keptMatches, DeliverFn deliver, FinishFn finish)
        : query_(query), prefilter_(query.find, query.options), mask_(query.masks),
          keptMatches_(keptMatches), deliver_(std::move(deliver)), finish_(std::move(finish)) {}

    ~Run() {
        RequestStop();
        threads_.clear(); // joins
    }

    void Begin() {
        active_ = kSearchThreads + 1;
        threads_.emplace_back([this] { Walk(); });
        for (int i = 0; i < kSearchThreads; ++i)
            threads_.emplace_back([this] { Search(); });
    }

    void RequestStop() {
        stop_ = true;
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }

    qint64 Searched() const { return searched_; }
    qint64 Skipped() const { return skipped_; }

private:
    // More pages waiting than this hold the walk back, so that a huge site
    // does not fill the memory with names.
    static constexpr size_t kQueueLength = 4096;

    void Walk() {
        FileSearchOptions options;
        options.entryMode = false;
        options.includeSubfolders = query_.includeSubfolders;
        options.nameTest = [this](const QString &name) { return mask_.Matches(name); };
        options.stopRequested = [this] { return stop_.load(); };
        options.onFound = [this](const QString &path) { Enqueue(path); };
        QStringList unused;
        SearchFilesRecursive(query_.folder, options, unused);
        {
            std::lock_guard lock(mutex_);
            walkDone_ = true;
        }
        changed_.notify_all();
        Leave();
    }

    void Enqueue(const QString &path) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || queue_.size() < kQueueLength; });
        if (stop_)
            return;
        queue_.push_back({nextNumber_++, path});
        changed_.notify_all();
    }

    // The next page to search, or nothing when the walk is over (or stopped)
    // and every page was taken.
    std::optional<std::pair<qint64, QString>> Take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stop_ || walkDone_ || !queue_.empty(); });
        if (stop_ || queue_.empty())
            return std::nullopt;
        auto next = std::move(queue_.front());
        queue_.pop_front();
        changed_.notify_all();
        return next;
    }

    void Search() {
        // A pattern of the thread's own: nothing of a compiled regular
        // expression is shared between threads.
        // A regular expression is compiled for UTF-8 bytes too, so that
        // most pages need not be decoded.
        const TextPattern pattern(query_.find, query_.options, PatternForms::WithUtf8);
        QByteArray bytes;
        // The rows of a page are gathered here, then moved into a list of
        // their exact size: growing each page's list one doubling at a time
        // cost more than the rows themselves.
        std::vector<LineMatch> rows;
        while (const auto next = Take()) {
            std::optional<FileMatches> found = SearchPage(next->second, pattern, bytes, rows);
            Hand(next->first, std::move(found));
        }
        Leave();
    }

    std::optional<FileMatches> SearchPage(const QString &path, const TextPattern &pattern,
                                          QByteArray &bytes, std::vector<LineMatch> &rows) {
        const auto stop = [this] { return stop_.load(); };
        const PageRead read = ReadPageForSearch(path, bytes, stop);
        if (read.outcome == PageReadOutcome::Folder || read.outcome == PageReadOutcome::Stopped)
            return std::nullopt;
        if (!read.ok()) {
            ++skipped_;
            return std::nullopt;
        }
        // A page that cannot hold the text is searched without decoding it;
        // one with a NUL anywhere is not text for the editor.
        if (!prefilter_.MayOccur(bytes)) {
            if (bytes.contains('\0'))
                ++skipped_;
            else
                ++searched_;
            return std::nullopt;
        }
        rows.clear();
        // Read first: once the kept matches are full, the threads no longer
        // write the shared counter for every occurrence they find.
        const auto keep = [this] {
            return kept_.load(std::memory_order_relaxed) < keptMatches_ &&
                   kept_.fetch_add(1) < keptMatches_;
        };
        // A plain text or a regular expression is found in the bytes
        // themselves where that gives the same answer; otherwise the page is
        // decoded as the editor decodes it.
        MatchCount count;
        if (const auto fast = CollectMatchesInBytes(bytes, pattern, rows, keep, stop)) {
            count = *fast;
        } else {
            const std::optional<DecodedText> decodedPage = DecodeTextStoppable(bytes, stop);
            if (!decodedPage)
                return std::nullopt; // stopped
            const DecodedText &decoded = *decodedPage;
            if (decoded.binary) {
                ++skipped_;
                return std::nullopt;
            }
            // The decoders for UTF-8 and Latin-1 make only valid UTF-16;
            // a UTF-16 page may hold a lone surrogate and is checked.
            const bool narrow =
                decoded.encoding == TextEncoding::Utf8 || decoded.encoding == TextEncoding::Latin1;
            count = CollectMatches(decoded.text, pattern, rows, keep, stop,
                                   narrow ? TextCheck::KnownValid : TextCheck::Check);
        }
        ++searched_;
        found_ += count.found;
        if (count.found == 0)
            return std::nullopt;
        FileMatches file;
        file.matches.assign(std::make_move_iterator(rows.begin()),
                            std::make_move_iterator(rows.end()));
        file.path = path;
        file.stamp = read.stamp;
        file.fingerprint = PageFingerprint(bytes);
        file.count = count.found;
        ++files_;
        return file;
    }

    // Puts a page's result in its place and sends every result that is
    // next in the walk's order.
    void Hand(qint64 number, std::optional<FileMatches> found) {
        std::lock_guard lock(mutex_);
        done_.emplace(number, std::move(found));
        while (!done_.empty() && done_.begin()->first == nextToSend_) {
            if (done_.begin()->second)
                deliver_(std::move(*done_.begin()->second));
            done_.erase(done_.begin());
            ++nextToSend_;
        }
    }

    // The last thread out reports the end.
    void Leave() {
        if (--active_ != 0)
            return;
        SearchSummary summary;
        summary.searched = searched_;
        summary.skipped = skipped_;
        summary.matches = found_;
        summary.files = files_;
        summary.notKept = std::max<qint64>(0, found_ - std::min<qint64>(kept_, keptMatches_));
        summary.stopped = stop_;
        finish_(summary);
    }

    const SiteSearchQuery query_;
    const BytePrefilter prefilter_;
    const FileMask mask_;
    const qint64 keptMatches_;
    const DeliverFn deliver_;
    const FinishFn finish_;

    std::atomic<bool> stop_ = false;
    std::atomic<int> active_ = 0;
    std::atomic<qint64> searched_ = 0, skipped_ = 0, found_ = 0, files_ = 0, kept_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<qint64, QString>> queue_;
    qint64 nextNumber_ = 0;
    bool walkDone_ = false;
    std::map<qint64, std::optional<FileMatches>> done_;
    qint64 nextToSend_ = 0;

    std::vector<std::jthread> threads_; // last: joined before the rest goes
};

SiteSearch::SiteSearch(QObject *parent) : QObject(parent) {
    qRegisterMetaType<FileMatches>();
    qRegisterMetaType<SearchSummary>();
}

SiteSearch::~SiteSearch() = default;

QString SiteSearch::Start(const SiteSearchQuery &query) {
    run_.reset(); // stops and waits for a search still running
    const TextPattern pattern(query.find, query.options);
    if (query.find.isEmpty())
        return u"There is nothing to find."_s;
    if (!pattern.Valid())
        return u"The regular expression \""_s + query.find + u"\" is not valid: "_s +
               pattern.Error() + u'.';
    const quint64 generation = ++generation_;
    // The threads post to this object's thread; a result of an earlier
    // search still on its way is dropped there by its generation.
    QPointer<SiteSearch> self(this);
    auto deliver = [self, generation](FileMatches &&found) {
        QMetaObject::invokeMethod(
            self,
            [self, generation, file = std::move(found)] {
                if (self)
                    self->Deliver(generation, file);
            },
            Qt::QueuedConnection);
    };
    auto finish = [self, generation](const SearchSummary &summary) {
        QMetaObject::invokeMethod(
            self,
            [self, generation, summary] {
                if (self)
                    self->Finish(generation, summary);
            },
            Qt::QueuedConnection);
    };
    run_ = std::make_unique<Run>(query, keptMatches_, std::move(deliver), std::move(finish));
    running_ = true;
    run_->Begin();
    return {};
}

void SiteSearch::Stop() {
    if (run_)
        run_->RequestStop();
}

bool SiteSearch::Running() const {
    return running_;
}

qint64 SiteSearch::Searched() const {
    return run_ ? run_->Searched() : 0;
}

qint64 SiteSearch::Skipped() const {
    return run_ ? run_->Skipped() : 0;
}

void SiteSearch::Deliver(quint64 generation, const FileMatches &file) {
    if (generation == generation_)
        emit fileMatched(file);
}

void SiteSearch::Finish(quint64 generation, const SearchSummary &summary) {
    if (generation != generation_)
        return;
    running_ = false;
    emit finished(summary);
}

} // namespace velmora
