#pragma once
// Replacing across files, safely: each chosen page is read again and left
// alone when it changed since the search, when it cannot be read, or when
// the editor holds unsaved changes of it; otherwise its old bytes go to a
// backup first (when backups are on) and its new bytes replace it in one
// step through the atomic writer, which keeps the file's mode. The pages go
// as one batch, so the disk is waited for once rather than once per page.
// The report names every page left alone and why.

#include "editor/text_pattern.h"
#include "sitesearch/byte_replace.h"
#include "sitesearch/page_read.h"

#include <QString>

#include <vector>

namespace velmora {

// The page the editor holds, as far as replacing in files must know it.
class OpenPage {
public:
    virtual ~OpenPage() = default;
    virtual QString File() const = 0;
    virtual bool HasUnsavedChanges() const = 0;
    // Shows the file's new content; called after it was written.
    virtual void Reload() = 0;
};

// A page to change, as the search saw it.
struct ReplaceTarget {
    QString path;
    PageStamp stamp;
    quint64 fingerprint = 0;
};

struct ReplaceSettings {
    // The folder searched: a page that is a link to a file outside it is not
    // written through.
    QString folder;
    bool createBackups = true;
    QString backupExt = QStringLiteral(".pbak");
};

struct SkippedFile {
    QString path;
    QString reason;
};

struct ReplaceOutcome {
    qint64 occurrences = 0;
    int files = 0;
    std::vector<SkippedFile> skipped;

    // "Replaced N occurrences in M files." and the pages left alone.
    QString Message() const;
};

// What the preview shows of one page: its replacement as it would be now.
struct PreviewedFile {
    ReplaceTarget target;
    int count = 0;
    std::vector<ChangedLine> changes;
    int changesLeftOut = 0;
    QString problem; // why the page cannot be changed; empty when it can
};

// The preview of one page found by the search (at most maxChanges lines
// described).
PreviewedFile PreviewReplacement(const ReplaceTarget &target, const TextPattern &pattern,
                                 const QString &replacement, int maxChanges);

// Pages read, replaced and staged for writing at once.
inline constexpr size_t kReplaceThreads = 4;

// Changes the pages in the order given; the report names the pages left
// alone in that order. The editor is asked and reloaded on the calling
// thread only.
ReplaceOutcome ApplyReplacements(const std::vector<ReplaceTarget> &targets,
                                 const TextPattern &pattern, const QString &replacement,
                                 const ReplaceSettings &settings, OpenPage *editor);

} // namespace velmora
