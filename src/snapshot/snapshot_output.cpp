#include "snapshot/snapshot_output.h"

#include "foundation/prompts.h"
#include "pictures/bmp_codec.h"
#include "pictures/jpeg_codec.h"
#include "snapshot/snapshot_params.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace velmora {

bool WriteSnapshotFile(const QImage &picture, const QString &path, int format, QString *error) {
    if (format == kSnapshotBmp)
        return SaveBmp(picture, path, error);
    return SaveJpeg(picture, kSnapshotQuality, path, error);
}

SnapshotWriter::SnapshotWriter(Prompts &prompts, FreeSpaceQuery freeSpace,
                               std::function<void(const QString &)> status)
    : prompts_(prompts), freeSpace_(std::move(freeSpace)), status_(std::move(status)) {}

bool SnapshotWriter::SaveSnapshot(const QImage &picture, const QString &path, int format,
                                  bool askOverwrite, bool *cancelled) {
    if (cancelled)
        *cancelled = false;
    if (path.isEmpty()) {
        prompts_.ShowInfo(u"Invalid file name: "_s + path);
        return false;
    }
    const QFileInfo target(path);
    if (!CheckDiskSpace(target.absolutePath(), kSnapshotFreeSpaceKb, prompts_, freeSpace_))
        return false;
    if (askOverwrite && target.exists()) {
        const Answer answer = prompts_.AskYesNoCancel(u"File exists: "_s + path + kMessageBreak +
                                                      kMessageBreak + u"Overwrite ?"_s);
        if (answer == Answer::Cancel) {
            if (cancelled)
                *cancelled = true;
            return false;
        }
        if (answer == Answer::No)
            return true;
    }
    // The encoders take the picture in 24 bits; one that is not yet is
    // converted first, which may take a moment for a large one.
    QImage image = picture;
    if (!IsPicture(image)) {
        status_(u"Converting snapshot to 24bit, please wait ..."_s);
        ConvertToPicture(image);
    }
    status_(u" "_s);
    QString error;
    if (!WriteSnapshotFile(image, path, format, &error)) {
        prompts_.ShowError(u"Cannot write "_s + path + u": "_s + error);
        return false;
    }
    status_(u"Saved as:"_s + path);
    return true;
}

} // namespace velmora
