#pragma once
// Every file the program reads as data (prg.ini, style files, tagsyntax.txt,
// list files, pages for the editor and the formatter, thumbnails) is read
// through here. Only a regular file is read: a FIFO, device, socket or folder
// is refused without being read (opening never waits for a writer), and so is
// a file larger than the cap of its kind, so that no file on the disk can
// hang the program or fill its memory.

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace velmora {

// The caps, by kind of file.
inline constexpr qint64 kMaxSettingsFileBytes = qint64(4) << 20;   // prg.ini, style files
inline constexpr qint64 kMaxTagSyntaxBytes = qint64(4) << 20;      // tagsyntax.txt
inline constexpr qint64 kMaxListFileBytes = qint64(1) << 30;       // a list of millions
inline constexpr qint64 kMaxPageBytes = qint64(256) << 20;         // pages and sources
inline constexpr qint64 kMaxThumbnailFileBytes = qint64(64) << 20; // JPEG pictures

enum class ReadStatus { Ok, Missing, NotRegularFile, TooLarge, Failed };

struct FileRead {
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
    QString error; // the reason, for messages that name the file; empty when Ok
    bool ok() const { return status == ReadStatus::Ok; }
};

// The whole content of a regular file of at most maxBytes bytes.
FileRead ReadRegularFile(const QString &path, qint64 maxBytes);

// What a stream (standard input) holds, up to maxBytes bytes; more is
// TooLarge.
FileRead ReadStream(std::FILE *stream, qint64 maxBytes);

// The system's words for an error number ("No space left on device").
QString SystemReason(int error);

// True when path names a regular file (links followed) that can be opened for
// reading without waiting; for copying files of any size.
bool IsReadableRegularFile(const QString &path, QString *error = nullptr);

} // namespace velmora
