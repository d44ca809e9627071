#pragma once
// Decodes thumbnail files on a thread of its own, ahead of the thumbnail
// cache. The cache itself stays on the user-interface thread and is filled in
// the order the view asks for, so its slots and their reuse do not change:
// it only finds some pictures already decoded. A request replaces the one
// before (the view has scrolled on); decoded pictures nobody took are
// dropped once there are more than a few screens of them.

#include "pictures/picture.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace velmora {

class ThumbDecodeAhead {
public:
    ThumbDecodeAhead();
    ~ThumbDecodeAhead();
    ThumbDecodeAhead(const ThumbDecodeAhead &) = delete;
    ThumbDecodeAhead &operator=(const ThumbDecodeAhead &) = delete;

    // Decode these files, in this order, dropping what was still waiting.
    void Request(const QStringList &thumbPaths);
    // True once thumbPath is decoded and waits to be taken.
    bool IsReady(const QString &thumbPath) const;
    // The decoded picture of thumbPath, if it is ready; it is handed over.
    // Otherwise the caller decodes it itself, and it is no longer waited for.
    bool Take(const QString &thumbPath, Picture *picture);
    // The cache's decoder: the picture decoded ahead, or the file decoded now.
    bool Decode(const QString &thumbPath, Picture *picture);

private:
    void Work();

    static constexpr int kMaxReady = 256;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QString> waiting_;
    struct Ready {
        Picture picture;
        qint64 stamp; // of the file when it was decoded
    };
    QHash<QString, Ready> ready_;
    std::deque<QString> readyOrder_;
    bool quit_ = false;
    std::thread worker_; // last: starts once everything above exists
};

} // namespace velmora
