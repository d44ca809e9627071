#include "sitesearch/replace_apply.h"

#include "foundation/atomic_file.h"

#include <QFileInfo>

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

ReplaceOutcome ApplyReplacements(const std::vector<ReplaceTarget> &targets,
                                 const TextPattern &pattern, const QString &replacement,
                                 const ReplaceSettings &settings, OpenPage *editor) {
    ReplaceOutcome outcome;
    QByteArray bytes;
    for (const ReplaceTarget &target : targets) {
        const auto skip = [&](const QString &reason) {
            outcome.skipped.push_back({target.path, reason});
        };
        const bool inEditor = editor && SameFile(editor->File(), target.path);
        if (inEditor && editor->HasUnsavedChanges()) {
            skip(u"it has unsaved changes in the editor"_s);
            continue;
        }
        if (QString reason = ReadUnchanged(target, bytes); !reason.isEmpty()) {
            skip(reason);
            continue;
        }
        if (!InsideFolder(target.path, settings.folder)) {
            skip(u"it is a link to a file outside the folder searched"_s);
            continue;
        }
        const ByteReplacement replaced = ReplaceInBytes(bytes, pattern, replacement);
        if (!replaced.problem.isEmpty()) {
            skip(replaced.problem);
            continue;
        }
        if (replaced.count == 0)
            continue;
        QString error;
        if (settings.createBackups &&
            !WriteFileAtomically(target.path + settings.backupExt, bytes, &error)) {
            skip(u"its backup could not be written: "_s + error);
            continue;
        }
        if (!WriteFileAtomically(target.path, replaced.bytes, &error)) {
            skip(u"it could not be written: "_s + error);
            continue;
        }
        outcome.occurrences += replaced.count;
        ++outcome.files;
        if (inEditor)
            editor->Reload();
    }
    return outcome;
}

} // namespace velmora
