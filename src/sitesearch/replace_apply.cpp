#include "sitesearch/replace_apply.h"

#include "foundation/atomic_file.h"

#include <QFileInfo>

#include <atomic>
#include <mutex>
#include <thread>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

bool SameFile(const QString &a, const QString &b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (a == b)
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Tells whether pages lie inside the folder searched, links resolved: a
// link out of the site is not written through. The folder is resolved once,
// and each folder holding pages once, not every page's whole path: a page
// that is not itself a link lies wherever its folder lies.
class InsideCheck {
public:
    explicit InsideCheck(const QString &folder)
        : anywhere_(folder.isEmpty()), root_(WithSlash(QFileInfo(folder).canonicalFilePath())) {}

    bool PageInside(const QString &path, bool pageIsLink) {
        if (anywhere_)
            return true;
        if (pageIsLink)
            return Inside(QFileInfo(path).canonicalFilePath());
        const QString holder = QFileInfo(path).path();
        std::lock_guard lock(mutex_);
        auto known = holders_.find(holder);
        if (known == holders_.end())
            known = holders_.emplace(holder, Inside(QFileInfo(holder).canonicalFilePath())).first;
        return known->second;
    }

private:
    static QString WithSlash(QString path) {
        if (!path.isEmpty() && !path.endsWith(u'/'))
            path += u'/';
        return path;
    }

    // real is a page's or folder's canonical path (empty when unresolved).
    bool Inside(const QString &real) const {
        return !real.isEmpty() && !root_.isEmpty() && WithSlash(real).startsWith(root_);
    }

    const bool anywhere_;
    const QString root_;
    std::mutex mutex_;
    std::unordered_map<QString, bool> holders_;
};

// Reads the page again; empty reason when it is as the search saw it. A page
// that is itself a link is read where it leads, and said to be one.
QString ReadUnchanged(const ReplaceTarget &target, QByteArray &bytes, bool *isLink = nullptr) {
    PageRead read = ReadPageForSearch(target.path, bytes, {}, PageLinks::DoNotFollow);
    if (read.outcome == PageReadOutcome::Link) {
        if (isLink)
            *isLink = true;
        read = ReadPageForSearch(target.path, bytes);
    }
    if (!read.ok())
        return u"it cannot be read: "_s + read.error;
    if (!(read.stamp == target.stamp) || PageFingerprint(bytes) != target.fingerprint)
        return u"it was changed since the search"_s;
    return {};
}

} // namespace

QString ReplaceOutcome::Message() const {
    QString text = u"Replaced "_s + QString::number(occurrences) + u" occurrences in "_s +
                   QString::number(files) + u" files."_s;
    if (!skipped.empty()) {
        text += u"\n\nNot changed:"_s;
        for (const SkippedFile &file : skipped)
            text += u"\n"_s + file.path + u": "_s + file.reason;
    }
    return text;
}

PreviewedFile PreviewReplacement(const ReplaceTarget &target, const TextPattern &pattern,
                                 const QString &replacement, int maxChanges) {
    PreviewedFile preview;
    preview.target = target;
    QByteArray bytes;
    preview.problem = ReadUnchanged(target, bytes);
    if (!preview.problem.isEmpty())
        return preview;
    ByteReplacement replaced = ReplaceInBytes(bytes, pattern, replacement, maxChanges);
    preview.count = replaced.count;
    preview.changes = std::move(replaced.changes);
    preview.changesLeftOut = replaced.changesLeftOut;
    preview.problem = replaced.problem;
    return preview;
}

namespace {

// What became of one page. Its new content is staged in the batch and
// counts only once the batch replaced it.
struct PageOutcome {
    QString skipped; // why it was left alone; empty when it was not
    qint64 count = 0;
    AtomicBatch::Ticket backup = AtomicBatch::kNoTicket;
    AtomicBatch::Ticket page = AtomicBatch::kNoTicket;
};

// A thread's buffers for a page's old and new bytes, reused from page to
// page instead of taken afresh for each.
struct PageBuffers {
    QByteArray old;
    QByteArray replaced;
};

PageOutcome StagePage(const ReplaceTarget &target, const TextPattern &pattern,
                      const QString &replacement, const ReplaceSettings &settings,
                      InsideCheck &inside, bool unsavedInEditor, PageBuffers &buffers,
                      AtomicBatch &batch) {
    const QByteArray &bytes = buffers.old;
    if (unsavedInEditor)
        return {u"it has unsaved changes in the editor"_s};
    bool isLink = false;
    if (QString reason = ReadUnchanged(target, buffers.old, &isLink); !reason.isEmpty())
        return {reason};
    if (!inside.PageInside(target.path, isLink))
        return {u"it is a link to a file outside the folder searched"_s};
    const ReplacementCount replaced =
        ReplaceInBytesForWriting(bytes, pattern, replacement, buffers.replaced);
    if (!replaced.problem.isEmpty())
        return {replaced.problem};
    if (replaced.count == 0)
        return {};
    PageOutcome outcome;
    outcome.count = replaced.count;
    if (settings.createBackups) {
        outcome.backup = batch.Stage(target.path + settings.backupExt, bytes);
        if (const QString error = batch.Error(outcome.backup); !error.isEmpty())
            return {u"its backup could not be written: "_s + error};
    }
    outcome.page = batch.Stage(target.path, buffers.replaced, outcome.backup);
    return outcome;
}

// After the batch: a page counts when it was replaced; otherwise the first
// failure (its backup's, else its own) says why it was left alone.
void Settle(PageOutcome &page, const AtomicBatch &batch) {
    if (page.page == AtomicBatch::kNoTicket)
        return;
    if (page.backup != AtomicBatch::kNoTicket && !batch.Replaced(page.backup))
        page.skipped = u"its backup could not be written: "_s + batch.Error(page.backup);
    else if (!batch.Replaced(page.page))
        page.skipped = u"it could not be written: "_s + batch.Error(page.page);
    if (!page.skipped.isEmpty())
        page.count = 0;
}

} // namespace

ReplaceOutcome ApplyReplacements(const std::vector<ReplaceTarget> &targets,
                                 const TextPattern &pattern, const QString &replacement,
                                 const ReplaceSettings &settings, OpenPage *editor) {
    // The editor is asked here, on the caller's thread, and only here.
    const QString editorFile = editor ? editor->File() : QString();
    const bool editorUnsaved = editor && editor->HasUnsavedChanges();
    std::vector<bool> inEditor(targets.size());
    for (size_t k = 0; k < targets.size(); ++k)
        inEditor[k] = SameFile(editorFile, targets[k].path);

    // Pages are read, replaced and staged by several threads, each taking
    // the next page with a pattern of its own; the batch then waits for the
    // disk once for all of them instead of once per page.
    std::vector<PageOutcome> outcomes(targets.size());
    std::atomic<size_t> next = 0;
    AtomicBatch batch;
    InsideCheck inside(settings.folder);
    {
        const int threads = int(std::min<size_t>(kReplaceThreads, targets.size()));
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                const TextPattern own(pattern.Find(), pattern.Options());
                PageBuffers buffers;
                for (size_t k = next++; k < targets.size(); k = next++)
                    outcomes[k] = StagePage(targets[k], own, replacement, settings, inside,
                                            inEditor[k] && editorUnsaved, buffers, batch);
            });
        }
    } // joined here
    batch.Commit();
    for (PageOutcome &page : outcomes)
        Settle(page, batch);

    ReplaceOutcome outcome;
    bool reload = false;
    for (size_t k = 0; k < targets.size(); ++k) {
        if (!outcomes[k].skipped.isEmpty()) {
            outcome.skipped.push_back({targets[k].path, outcomes[k].skipped});
        } else if (outcomes[k].count > 0) {
            outcome.occurrences += outcomes[k].count;
            ++outcome.files;
            reload = reload || inEditor[k];
        }
    }
    if (reload)
        editor->Reload();
    return outcome;
}

} // namespace velmora
