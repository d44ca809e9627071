#pragma once
// Decodes thumbnail files on a thread of its own, ahead of the thumbnail
// cache. The cache itself stays on the user-interface thread and is filled in
// the order the view asks for, so its slots and their reuse do not change:
// it only finds some pictures already decoded. A request replaces the one
// before (the view has scrolled on), so files of tiles scrolled away are not
// decoded; decoded pictures nobody took are dropped once there are more than
// a few screens of them. A file that cannot be decoded is remembered as such,
// so the cache does not try it again on the user-interface thread.

#include "pictures/picture.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace velmora {

class ThumbDecodeAhead {
public:
    // onDecoded is called on the decoding thread each time a file is done
    // (decoded or found undecodable); it must not block.
    explicit ThumbDecodeAhead(std::function<void()> onDecoded = {});
    ~ThumbDecodeAhead();
    ThumbDecodeAhead(const ThumbDecodeAhead &) = delete;
    ThumbDecodeAhead &operator=(const ThumbDecodeAhead &) = delete;

    // Decode these files, in this order, dropping what was still waiting.
    void Request(const QStringList &thumbPaths);
    // True once thumbPath is done (decoded, or found undecodable) and waits
    // to be taken.
    bool IsReady(const QString &thumbPath) const;
    // The decoded picture of thumbPath, if it is ready; it is handed over.
    // Otherwise the caller decodes it itself, and it is no longer waited for.
    bool Take(const QString &thumbPath, Picture *picture);
    // The cache's decoder: the picture decoded ahead, or the file decoded now
    // unless it was just found undecodable.
    bool Decode(const QString &thumbPath, Picture *picture);

private:
    enum class Handover { NotReady, Picture, Undecodable };
    Handover Hand(const QString &thumbPath, Picture *picture);
    void Work();

    static constexpr int kMaxReady = 256;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QString> waiting_;
    struct Ready {
        Picture picture; // null when the file could not be decoded
        qint64 stamp;    // of the file when it was decoded
    };
    QHash<QString, Ready> ready_;
    std::deque<QString> readyOrder_;
    bool quit_ = false;
    std::function<void()> onDecoded_;
    std::thread worker_; // last: starts once everything above exists
};

} // namespace velmora
