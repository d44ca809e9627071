#include "thumbs/view/thumb_decode_ahead.h"

#include "foundation/file_utils.h"
#include "thumbs/thumbnail_cache.h"

namespace velmora {

ThumbDecodeAhead::ThumbDecodeAhead(std::function<void()> onDecoded)
    : onDecoded_(std::move(onDecoded)), worker_([this] { Work(); }) {}

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

ThumbDecodeAhead::Handover ThumbDecodeAhead::Hand(const QString &thumbPath, Picture *picture) {
    const std::lock_guard lock(mutex_);
    // The user-interface thread decodes this one itself now.
    std::erase(waiting_, thumbPath);
    const auto found = ready_.find(thumbPath);
    if (found == ready_.end())
        return Handover::NotReady;
    // A thumbnail made again since it was decoded is decoded anew.
    Handover handed = Handover::NotReady;
    if (found->stamp == FileStamp(thumbPath)) {
        handed = found->picture.isNull() ? Handover::Undecodable : Handover::Picture;
        *picture = std::move(found->picture);
    }
    ready_.erase(found);
    return handed;
}

bool ThumbDecodeAhead::Take(const QString &thumbPath, Picture *picture) {
    return Hand(thumbPath, picture) == Handover::Picture;
}

bool ThumbDecodeAhead::Decode(const QString &thumbPath, Picture *picture) {
    switch (Hand(thumbPath, picture)) {
    case Handover::Picture:
        return true;
    case Handover::Undecodable:
        return false;
    case Handover::NotReady:
        break;
    }
    return ThumbnailCache::DecodeThumbnailFile(thumbPath, picture);
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
        if (!decoded)
            picture = Picture();
        lock.lock();
        ready_.insert(path, {std::move(picture), stamp});
        readyOrder_.push_back(path);
        while (readyOrder_.size() > kMaxReady) {
            ready_.remove(readyOrder_.front());
            readyOrder_.pop_front();
        }
        if (onDecoded_) {
            lock.unlock();
            onDecoded_();
            lock.lock();
        }
    }
}

} // namespace velmora
