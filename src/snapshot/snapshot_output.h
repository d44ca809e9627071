#pragma once
// Writing one snapshot picture to a file: the free-space check of the target
// volume, the overwrite question, then JPEG of quality 75 or a 24-bit BMP,
// written in one step so that a failed or killed write leaves the old file or
// none.

#include "foundation/file_utils.h"
#include "pictures/picture.h"

#include <QString>

#include <functional>

namespace velmora {

class Prompts;

// Free space needed on the target's volume before every saved snapshot, in
// units of 1000 bytes.
inline constexpr qint64 kSnapshotFreeSpaceKb = 2000;

// The encoded file of a picture in the given format (1 JPEG, 2 BMP).
bool WriteSnapshotFile(const QImage &picture, const QString &path, int format,
                       QString *error = nullptr);

class SnapshotWriter {
public:
    // status receives the texts of the options window's status line.
    SnapshotWriter(Prompts &prompts, FreeSpaceQuery freeSpace,
                   std::function<void(const QString &)> status);

    // Writes picture to path. False means that the caller should stop: an
    // empty path (invalid name), too little room, Cancel to the overwrite
    // question, or a write that failed (reported in an error box). No to the
    // question skips the file and gives true. *cancelled, when given, tells
    // the user's Cancel from the failures.
    bool SaveSnapshot(const QImage &picture, const QString &path, int format, bool askOverwrite,
                      bool *cancelled = nullptr);

private:
    Prompts &prompts_;
    FreeSpaceQuery freeSpace_;
    std::function<void(const QString &)> status_;
};

} // namespace velmora
