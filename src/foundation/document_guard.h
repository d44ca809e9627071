#pragma once
// The document of the preview as the rest of the program sees it: which file
// the editor holds (EditorFile) and the file's stamp when it was loaded or
// saved (EditorFileTime), the question whether to save unsaved changes before
// the editor's text is given up, and reloading the file after an outside
// change. The editor's document overrides the questions; this base, used
// while no editor exists, has nothing to save and nothing to reload.

#include <QString>

namespace velmora {

enum class SaveChangesReply { NotAsked, Yes, No, Cancel };

class DocumentGuard {
public:
    virtual ~DocumentGuard() = default;

    // Asks only when the editor holds unsaved changes. Yes saves, No drops
    // the changes; Cancel means the caller must not go on.
    virtual SaveChangesReply SaveChangesPrompt() { return SaveChangesReply::NotAsked; }
    // Loads EditorFile again from disk, dropping what the editor holds.
    virtual void ReloadFromDisk() {}

    QString EditorFile;        // empty for none
    qint64 EditorFileTime = 0; // 0 for none
};

// True unless the reply means the caller must stop.
inline bool MayGoOn(SaveChangesReply reply) {
    return reply != SaveChangesReply::Cancel;
}

} // namespace velmora
