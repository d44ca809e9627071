#pragma once
// The link check of a site on disk: walks the pages of a folder by the File
// Lists search rules, reads their links, and reports each broken one as a
// problem at its page and line. Nothing is fetched: links off the site are
// only listed, when asked. The memory held grows with the number of pages
// and of the files linked to, not with the number of links.

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace velmora {

// The problem texts, as the window and velmora-check show them.
namespace problem_text {
inline const QString MissingFile = QStringLiteral("Missing file");
QString WrongCase(const QString &onDisk); // "Wrong letter case (on disk: NAME)"
inline const QString MissingAnchor = QStringLiteral("Missing anchor");
inline const QString OutsideSite = QStringLiteral("Outside the site");
inline const QString FolderWithoutIndex = QStringLiteral("Folder without index page");
inline const QString OrphanPage = QStringLiteral("Orphan page");
inline const QString External = QStringLiteral("External");
} // namespace problem_text

struct LinkProblem {
    QString page; // relative to the checked folder
    int line = 0; // from 1; 0 for a problem of the whole page (an orphan)
    QString link; // as written in the page, entities decoded
    QString problem;
};

struct SiteCheckOptions {
    QString folder; // the site's root
    bool subfolders = true;
    bool anchors = true;   // check the "#part" of links
    bool external = false; // list links off the site
    QString startPage;     // relative to folder or absolute; empty: no orphan search
    // The extensions of pages by the filter definition's masks (prg.ini's
    // ALLOWED_EXTENSIONS); .html, .htm and .css are always pages.
    QString allowedExtensions;
    QString thumbDir; // the program's thumbnail folder, not searched into
};

struct SiteCheckSummary {
    int pages = 0;
    qint64 links = 0;
    int problems = 0;
    bool stopped = false;
};

// The mask of the pages checked: every pattern of the definition's filters
// except those of pictures, with *.htm (which takes .html too) and *.css.
QString PageMaskOf(const QString &allowedExtensions);

class SiteCheck {
public:
    using ProblemSink = std::function<void(const LinkProblem &)>;
    // Called after each page with the count of pages done and to do.
    using ProgressSink = std::function<void(int done, int total)>;

    explicit SiteCheck(SiteCheckOptions options) : options_(std::move(options)) {}

    // The folder cannot be listed, or the start page is no page of it: the
    // reason, for the caller to show before any check; empty when fine.
    QString CheckOptions() const;

    // Runs the check, handing each problem to sink as it is found: the
    // problems of a page in the order of their lines, the pages in the order
    // of the walk, the orphan pages last. Returns early once stop is set.
    SiteCheckSummary Run(const ProblemSink &sink, const std::atomic_bool *stop = nullptr,
                         const ProgressSink &progress = {}) const;

private:
    SiteCheckOptions options_;
};

// Sorts problems by page (the text, case-sensitive) and then line.
void SortProblems(QList<LinkProblem> &problems);

// "PAGE:LINE: PROBLEM: LINK", or without ": LINK" when there is none.
QString ProblemLine(const LinkProblem &problem);

// The problems as CSV (RFC 4180): a header "Page,Line,Link,Problem", fields
// quoted when they hold a comma, quote or line break, lines ended by CR LF.
QByteArray ProblemsCsv(const QList<LinkProblem> &problems);

} // namespace velmora
