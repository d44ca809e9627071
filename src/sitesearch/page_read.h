#pragma once
// Reading a page for a site-wide search: only a regular file is read, and
// only up to a size that a search is meant for. Opening never waits (a FIFO
// is refused from its type before anything is read from it), and a file
// that looks binary is refused after its first few kilobytes, never read to
// the end.

#include <QByteArray>
#include <QString>

#include <functional>

namespace velmora {

// Larger files are not searched: they are counted as skipped.
inline constexpr qint64 kMaxSearchedFileBytes = qint64(64) << 20;
// A NUL byte in this many first bytes marks a binary file, unless the file
// starts with a UTF-16 or UTF-32 byte-order mark (whose text holds NULs).
inline constexpr qint64 kBinaryProbeBytes = 8192;

enum class PageReadOutcome {
    Read,
    Folder,     // a folder whose name passed the masks: not a page, not counted
    NotRegular, // a FIFO, device or socket
    TooLarge,
    Binary,
    Unreadable, // gone, no permission, an error while reading
    Stopped,    // the search was stopped while the page was read
    Link,       // a symbolic link, when links are not to be followed
};

// Whether a page that is itself a symbolic link is read where it leads.
enum class PageLinks { Follow, DoNotFollow };

// What a file was when it was read, to tell later whether it changed since.
struct PageStamp {
    qint64 size = -1;
    qint64 modifiedNs = 0;
    friend bool operator==(const PageStamp &, const PageStamp &) = default;
};

struct PageRead {
    PageReadOutcome outcome = PageReadOutcome::Unreadable;
    PageStamp stamp;
    QString error; // the reason in words, for the messages that name the file

    bool ok() const { return outcome == PageReadOutcome::Read; }
};

// Reads path into bytes (reusing its capacity), unless it is not a page to
// search. bytes is empty whenever the outcome is not Read. A large page is
// read a megabyte at a time; stop, when given, is asked between them.
PageRead ReadPageForSearch(const QString &path, QByteArray &bytes,
                           const std::function<bool()> &stop = {},
                           PageLinks links = PageLinks::Follow);

// True for bytes that begin with a UTF-16 or UTF-32 byte-order mark.
bool StartsWithWideMark(QByteArrayView bytes);

// A quick fingerprint of a page's bytes, kept from the search so that a later
// change of content under an unchanged size and time is noticed too.
quint64 PageFingerprint(QByteArrayView bytes);

} // namespace velmora
