#include "sitecheck/site_check.h"

#include "foundation/file_reader.h"
#include "foundation/filter_definition.h"
#include "foundation/text_codec.h"
#include "sitecheck/disk_lookup.h"
#include "sitecheck/link_reader.h"
#include "sitecheck/link_target.h"
#include "sitewalk/file_entry.h"
#include "sitewalk/file_search.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <dirent.h>
#include <stdlib.h>

#include <algorithm>
#include <deque>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

QString problem_text::WrongCase(const QString &onDisk) {
    return u"Wrong letter case (on disk: %1)"_s.arg(onDisk);
}

QString PageMaskOf(const QString &allowedExtensions) {
    static const QStringList kPictures{u"*.jpg"_s,  u"*.jpeg"_s, u"*.jpe"_s, u"*.gif"_s,
                                       u"*.png"_s,  u"*.bmp"_s,  u"*.ico"_s, u"*.svg"_s,
                                       u"*.webp"_s, u"*.tif"_s,  u"*.tiff"_s};
    QStringList patterns{u"*.htm"_s, u"*.css"_s};
    for (const FileFilter &filter : ParseFilterDefinition(allowedExtensions)) {
        for (const QString &pattern : filter.mask.split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty() && !kPictures.contains(trimmed, Qt::CaseInsensitive) &&
                !patterns.contains(trimmed, Qt::CaseInsensitive))
                patterns.append(trimmed);
        }
    }
    return patterns.join(u';');
}

namespace {

bool IsStyleSheet(const QString &path) {
    return path.endsWith(u".css"_s, Qt::CaseInsensitive);
}

struct PageText {
    QByteArray bytes; // UTF-8 or Latin-1
    bool utf8 = true;
    bool read = false;
};

// A page's bytes ready for the reader: UTF-16 and UTF-32 pages (known by
// their byte-order mark) are turned into UTF-8; anything else is read as it
// is, as UTF-8 when it is valid UTF-8 and else as Latin-1.
PageText ReadPage(const QByteArray &path) {
    PageText page;
    FileRead read = ReadRegularFile(QFile::decodeName(path), kMaxPageBytes);
    if (!read.ok())
        return page;
    page.read = true;
    const QByteArray &bytes = read.bytes;
    const bool wideMark = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
                          bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4));
    if (wideMark) {
        page.bytes = DecodeText(bytes).text.toUtf8();
        page.utf8 = true;
    } else {
        page.utf8 = QByteArrayView(bytes).isValidUtf8();
        page.bytes = std::move(read.bytes);
    }
    return page;
}

QSet<QString> AnchorSet(const QStringList &anchors) {
    return QSet<QString>(anchors.begin(), anchors.end());
}

constexpr size_t kLinksBetweenStopChecks = 4096;

class CheckRun {
public:
    CheckRun(const SiteCheckOptions &options, const SiteCheck::ProblemSink &sink,
             const std::atomic_bool *stop)
        : options_(options), sink_(sink), stop_(stop), resolver_(options.folder),
          disk_(resolver_.Root()), pageFilter_(PageMaskOf(options.allowedExtensions)),
          orphans_(!options.startPage.isEmpty()) {}

    SiteCheckSummary Run(const SiteCheck::ProgressSink &progress) {
        const QStringList pages = WalkPages();
        summary_.pages = int(pages.size());
        if (orphans_)
            IndexPages(pages);
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (Stopped())
                break;
            CheckPage(int(i), QFile::encodeName(pages[i]));
            if (progress)
                progress(int(i) + 1, int(pages.size()));
        }
        if (orphans_ && !Stopped())
            ReportOrphans(pages);
        summary_.stopped = Stopped();
        return summary_;
    }

private:
    bool Stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }

    // The walk too stops at once when asked: a large tree takes a while to
    // list.
    QStringList WalkPages() const {
        FileSearchOptions search;
        search.mask = PageMaskOf(options_.allowedExtensions);
        search.thumbDir = options_.thumbDir;
        search.entryMode = false;
        search.regularFilesOnly = true;
        search.includeSubfolders = options_.subfolders;
        search.stopRequested = [this] { return Stopped(); };
        QStringList pages;
        SearchFilesRecursive(options_.folder, search, pages);
        return pages;
    }

    QString Relative(const QByteArray &path) const {
        const QByteArray &root = resolver_.Root();
        return QFile::decodeName(path.startsWith(root) ? path.mid(root.size()) : path);
    }

    void Report(const QByteArray &page, int line, const QString &link, const QString &problem) {
        ++summary_.problems;
        sink_(LinkProblem{Relative(page), line, link, problem});
    }

    // ---- the pages' identities, for the orphan search --------------------------

    QByteArray RealPath(const QByteArray &path) {
        auto found = realPaths_.find(path);
        if (found != realPaths_.end())
            return *found;
        QByteArray real = path;
        if (char *resolved = ::realpath(path.constData(), nullptr)) {
            real = resolved;
            ::free(resolved);
        }
        return *realPaths_.insert(path, real);
    }

    void IndexPages(const QStringList &pages) {
        edges_.resize(size_t(pages.size()));
        for (qsizetype i = 0; i < pages.size(); ++i)
            pageIndex_.insert(RealPath(QFile::encodeName(pages[i])), int(i));
    }

    void LinkTo(int from, const QByteArray &file) {
        if (!orphans_)
            return;
        const auto to = pageIndex_.constFind(RealPath(file));
        if (to != pageIndex_.cend() && *to != from)
            pageTargets_.insert(*to);
    }

    void ReportOrphans(const QStringList &pages) {
        QString start = options_.startPage;
        if (QDir::isRelativePath(start))
            start = QDir(options_.folder).filePath(start);
        const auto first = pageIndex_.constFind(RealPath(QFile::encodeName(start)));
        if (first == pageIndex_.cend())
            return;
        std::vector<bool> reached(size_t(pages.size()), false);
        std::deque<int> todo{*first};
        reached[size_t(*first)] = true;
        while (!todo.empty()) {
            const int page = todo.front();
            todo.pop_front();
            for (int next : edges_[size_t(page)]) {
                if (!reached[size_t(next)]) {
                    reached[size_t(next)] = true;
                    todo.push_back(next);
                }
            }
        }
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (!reached[size_t(i)])
                Report(QFile::encodeName(pages[i]), 0, {}, problem_text::OrphanPage);
        }
    }

    // ---- anchors ----------------------------------------------------------------

    const QSet<QString> &AnchorsOf(const QByteArray &page) {
        auto found = anchors_.find(page);
        if (found != anchors_.end())
            return *found;
        QSet<QString> anchors;
        const PageText text = ReadPage(page);
        if (text.read)
            anchors = AnchorSet(ReadHtmlLinks(text.bytes, text.utf8, stop_).anchors);
        return *anchors_.insert(page, anchors);
    }

    // Anchors are looked for only in pages: a fragment of a picture or of a
    // PDF means something else.
    bool HoldsAnchors(const QByteArray &file) const {
        const QString name = QFile::decodeName(file);
        return pageFilter_.Allows(name) && !IsStyleSheet(name);
    }

    bool AnchorFound(const QSet<QString> &anchors, const LinkTarget &target) const {
        // An empty fragment and "#top" go to the top of any page.
        if (target.fragment.isEmpty() ||
            target.fragment.compare(u"top"_s, Qt::CaseInsensitive) == 0)
            return true;
        return anchors.contains(target.fragment) || anchors.contains(target.rawFragment);
    }

    void CheckAnchor(const QByteArray &page, const PageLink &link, const LinkTarget &target,
                     const QByteArray &file) {
        if (!options_.anchors || !target.hasFragment || !HoldsAnchors(file))
            return;
        if (!AnchorFound(AnchorsOf(file), target))
            Report(page, link.line, link.url, problem_text::MissingAnchor);
    }

    // ---- one page ---------------------------------------------------------------

    void CheckPage(int index, const QByteArray &page) {
        const PageText text = ReadPage(page);
        if (!text.read)
            return;
        PageLinks found;
        if (IsStyleSheet(QFile::decodeName(page))) {
            const QString css =
                text.utf8 ? QString::fromUtf8(text.bytes) : QString::fromLatin1(text.bytes);
            ReadCssLinks(css, 1, found.links);
        } else {
            found = ReadHtmlLinks(text.bytes, text.utf8, stop_);
            if (options_.anchors)
                anchors_.insert(page, AnchorSet(found.anchors));
        }
        const LinkBase base = resolver_.BaseOf(page, found.hasBase, found.base);
        pageTargets_.clear();
        for (size_t i = 0; i < found.links.size(); ++i) {
            // A page of a million links is stopped in the middle too.
            if (i % kLinksBetweenStopChecks == 0 && Stopped())
                return;
            CheckLink(index, page, base, found.links[i]);
        }
        if (orphans_)
            edges_[size_t(index)].assign(pageTargets_.cbegin(), pageTargets_.cend());
    }

    void CheckLink(int index, const QByteArray &page, const LinkBase &base, const PageLink &link) {
        ++summary_.links;
        const LinkTarget target = resolver_.Resolve(base, page, link.url);
        switch (target.kind) {
        case LinkKind::Ignored:
            return;
        case LinkKind::External:
            if (options_.external)
                Report(page, link.line, link.url, problem_text::External);
            return;
        case LinkKind::Outside:
            Report(page, link.line, link.url, problem_text::OutsideSite);
            return;
        case LinkKind::SamePage:
            CheckAnchor(page, link, target, page);
            return;
        case LinkKind::Local:
            break;
        }
        const TargetLookup &lookup = disk_.Look(target.path);
        switch (lookup.state) {
        case TargetState::File:
        case TargetState::Folder: {
            const QByteArray file = lookup.file; // the lookup may move when the cache grows
            LinkTo(index, file);
            CheckAnchor(page, link, target, file);
            return;
        }
        case TargetState::FolderWithoutIndex:
            Report(page, link.line, link.url, problem_text::FolderWithoutIndex);
            return;
        case TargetState::WrongCase:
            Report(page, link.line, link.url, problem_text::WrongCase(Relative(lookup.file)));
            return;
        case TargetState::Missing:
            Report(page, link.line, link.url, problem_text::MissingFile);
            return;
        }
    }

    const SiteCheckOptions &options_;
    const SiteCheck::ProblemSink &sink_;
    const std::atomic_bool *stop_;
    LinkResolver resolver_;
    DiskLookup disk_;
    ExtensionFilter pageFilter_;
    const bool orphans_;
    SiteCheckSummary summary_;
    QHash<QByteArray, QSet<QString>> anchors_;
    QHash<QByteArray, QByteArray> realPaths_;
    QHash<QByteArray, int> pageIndex_;
    std::vector<std::vector<int>> edges_; // the pages each page links to
    QSet<int> pageTargets_;               // of the page being checked
};

} // namespace

QString SiteCheck::CheckOptions() const {
    const QFileInfo folder(options_.folder);
    if (!folder.isDir())
        return u"%1 is not a folder"_s.arg(options_.folder);
    if (DIR *dir = ::opendir(QFile::encodeName(options_.folder).constData()))
        ::closedir(dir);
    else
        return u"cannot read the folder %1"_s.arg(options_.folder);
    if (!options_.startPage.isEmpty()) {
        const QString start = QDir::isRelativePath(options_.startPage)
                                  ? QDir(options_.folder).filePath(options_.startPage)
                                  : options_.startPage;
        if (!QFileInfo(start).isFile())
            return u"the start page %1 does not exist"_s.arg(options_.startPage);
    }
    return {};
}

SiteCheckSummary SiteCheck::Run(const ProblemSink &sink, const std::atomic_bool *stop,
                                const ProgressSink &progress) const {
    return CheckRun(options_, sink, stop).Run(progress);
}

void SortProblems(QList<LinkProblem> &problems) {
    std::stable_sort(problems.begin(), problems.end(),
                     [](const LinkProblem &a, const LinkProblem &b) {
                         const int byPage = a.page.compare(b.page);
                         return byPage != 0 ? byPage < 0 : a.line < b.line;
                     });
}

QString ProblemLine(const LinkProblem &problem) {
    QString line = u"%1:%2: %3"_s.arg(problem.page).arg(problem.line).arg(problem.problem);
    if (!problem.link.isEmpty())
        line += u": "_s + problem.link;
    return line;
}

namespace {

QByteArray CsvField(const QString &text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

} // namespace

QByteArray ProblemsCsv(const QList<LinkProblem> &problems) {
    QByteArray csv = "Page,Line,Link,Problem\r\n";
    for (const LinkProblem &problem : problems) {
        csv += CsvField(problem.page) + ',' + QByteArray::number(problem.line) + ',' +
               CsvField(problem.link) + ',' + CsvField(problem.problem) + "\r\n";
    }
    return csv;
}

} // namespace velmora
