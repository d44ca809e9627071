#include "sitesearch/replace_apply.h"

#include "foundation/atomic_file.h"

#include <QFileInfo>

#include <atomic>
#include <thread>

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

// True when the page (links resolved) lies inside the folder (links
// resolved): a link out of the site is not written through.
bool InsideFolder(const QString &path, const QString &folder) {
    if (folder.isEmpty())
        return true;
    const QString real = QFileInfo(path).canonicalFilePath();
    QString root = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || root.isEmpty())
        return false;
    if (!root.endsWith(u'/'))
        root += u'/';
    return real.startsWith(root);
}

// Reads the page again; empty reason when it is as the search saw it.
QString ReadUnchanged(const ReplaceTarget &target, QByteArray &bytes) {
    const PageRead read = ReadPageForSearch(target.path, bytes);
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

// A thread's buffers, reused from page to page: fresh memory for every page
// costs more than the replacement itself.
struct PageBuffers {
    QByteArray old;
    QByteArray replaced;
};

PageOutcome StagePage(const ReplaceTarget &target, const TextPattern &pattern,
                      const QString &replacement, const ReplaceSettings &settings,
                      bool unsavedInEditor, PageBuffers &buffers, AtomicBatch &batch) {
    const QByteArray &bytes = buffers.old;
    if (unsavedInEditor)
        return {u"it has unsaved changes in the editor"_s};
    if (QString reason = ReadUnchanged(target, buffers.old); !reason.isEmpty())
        return {reason};
    if (!InsideFolder(target.path, settings.folder))
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
    {
        const int threads = int(std::min<size_t>(kReplaceThreads, targets.size()));
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                const TextPattern own(pattern.Find(), pattern.Options());
                PageBuffers buffers;
                for (size_t k = next++; k < targets.size(); k = next++)
                    outcomes[k] = StagePage(targets[k], own, replacement, settings,
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
