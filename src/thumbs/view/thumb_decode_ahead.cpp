#include "thumbs/view/thumb_decode_ahead.h"

#include "foundation/file_utils.h"
#include "thumbs/thumbnail_cache.h"

namespace velmora {

ThumbDecodeAhead::ThumbDecodeAhead() : worker_([this] { Work(); }) {}

ThumbDecodeAhead::~ThumbDecodeAhead() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        waiting_.clear();
    }
    wake_.notify_one();
    worker_.join();
}

void ThumbDecodeAhead::Request(const QStringList &thumbPaths) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.assign(thumbPaths.begin(), thumbPaths.end());
    }
    wake_.notify_one();
}

bool ThumbDecodeAhead::IsReady(const QString &thumbPath) const {
    const std::lock_guard lock(mutex_);
    return ready_.contains(thumbPath);
}

bool ThumbDecodeAhead::Take(const QString &thumbPath, Picture *picture) {
    const std::lock_guard lock(mutex_);
    // The user-interface thread decodes this one itself now.
    std::erase(waiting_, thumbPath);
    const auto found = ready_.find(thumbPath);
    if (found == ready_.end())
        return false;
    // A thumbnail made again since it was decoded is decoded anew.
    const bool current = found->stamp == FileStamp(thumbPath);
    if (current)
        *picture = std::move(found->picture);
    ready_.erase(found);
    return current;
}

bool ThumbDecodeAhead::Decode(const QString &thumbPath, Picture *picture) {
    return Take(thumbPath, picture) || ThumbnailCache::DecodeThumbnailFile(thumbPath, picture);
}

void ThumbDecodeAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || !waiting_.empty(); });
        if (quit_)
            return;
        const QString path = waiting_.front();
        waiting_.pop_front();
        if (ready_.contains(path))
            continue;
        lock.unlock();
        const qint64 stamp = FileStamp(path);
        Picture picture;
        const bool decoded = ThumbnailCache::DecodeThumbnailFile(path, &picture);
        lock.lock();
        if (!decoded)
            continue;
        ready_.insert(path, {std::move(picture), stamp});
        readyOrder_.push_back(path);
        while (readyOrder_.size() > kMaxReady) {
            ready_.remove(readyOrder_.front());
            readyOrder_.pop_front();
        }
    }
}

} // namespace velmora
