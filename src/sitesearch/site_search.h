#pragma once
// The site-wide search: walks a folder by the file search's rules, reads
// and decodes every page as the editor does, and finds a literal text or a
// regular expression in it. The work runs on threads the search owns; what
// they find arrives as signals on the search's own thread, file by file in
// the order of the walk, while they go on. Stop ends the work within a
// fraction of a second; destroying the search stops it and waits for it.

#include "editor/text_pattern.h"
#include "sitesearch/page_read.h"
#include "sitesearch/text_matches.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace velmora {

struct SiteSearchQuery {
    QString folder;
    QString masks; // as in the filter box: "*.htm;*.css" ("*.htm" takes .html too)
    bool includeSubfolders = true;
    QString find;
    PatternOptions options;
};

// The occurrences in one page.
struct FileMatches {
    QString path;
    PageStamp stamp;                // the page as it was searched
    quint64 fingerprint = 0;        // of its bytes then
    qint64 count = 0;               // every occurrence
    std::vector<LineMatch> matches; // those described: the first ones of the search
};

struct SearchSummary {
    qint64 matches = 0;  // every occurrence found
    qint64 files = 0;    // pages with occurrences
    qint64 searched = 0; // pages read and searched
    qint64 skipped = 0;  // too large, binary, not a regular file, unreadable
    qint64 notKept = 0;  // occurrences counted beyond the ones described
    bool stopped = false;
};

// Where to start and how many threads search the pages.
inline constexpr int kSearchThreads = 2;
// The most occurrences a search describes; the rest are counted only.
inline constexpr qint64 kDefaultKeptMatches = 100000;

class SiteSearch final : public QObject {
    Q_OBJECT
public:
    explicit SiteSearch(QObject *parent = nullptr);
    ~SiteSearch() override;

    void SetKeptMatches(qint64 most) { keptMatches_ = most; }

    // Starts a search, after stopping one still running. Returns why it
    // cannot start (an invalid regular expression, with the error and its
    // offset, or nothing to find); empty when it started.
    QString Start(const SiteSearchQuery &query);
    // Asks the threads to end; returns at once. finished follows.
    void Stop();
    bool Running() const;

    // Counts so far of the search running or last run.
    qint64 Searched() const;
    qint64 Skipped() const;

signals:
    // A page with occurrences, in the order of the walk.
    void fileMatched(const velmora::FileMatches &file);
    // The last signal of a search: after every fileMatched of it.
    void finished(const velmora::SearchSummary &summary);

private:
    class Run;
    void Deliver(quint64 generation, const FileMatches &file);
    void Finish(quint64 generation, const SearchSummary &summary);

    qint64 keptMatches_ = kDefaultKeptMatches;
    quint64 generation_ = 0;
    bool running_ = false;
    std::unique_ptr<Run> run_;
};

} // namespace velmora

Q_DECLARE_METATYPE(velmora::FileMatches)
Q_DECLARE_METATYPE(velmora::SearchSummary)
