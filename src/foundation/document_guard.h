#pragma once
// The document of the preview as the rest of the program sees it: which file
// the editor holds and the file's stamp when it was loaded or saved, the
// question whether to save unsaved changes before the editor's text is given
// up, and reloading the file after an outside change. The editor's document
// (EditorDocument) answers the questions; this base has nothing to save and
// nothing to reload.

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

    // The file the editor holds; empty for none.
    const QString &File() const { return file_; }
    // The file's stamp when it was loaded or saved; 0 for none.
    qint64 FileTime() const { return fileTime_; }
    // The stamp the file has on disk now, taken as known: an outside change
    // is reported once, not again on every return to the program.
    void SetFileTime(qint64 stamp) { fileTime_ = stamp; }
    // Forgets which file the text came from, so that the next showing of a
    // file loads it afresh; the text stays.
    void ForgetFile() { SetFile(QString(), 0); }

protected:
    void SetFile(const QString &file, qint64 stamp) {
        file_ = file;
        fileTime_ = stamp;
    }

private:
    QString file_;
    qint64 fileTime_ = 0;
};

// True unless the reply means the caller must stop.
inline bool MayGoOn(SaveChangesReply reply) {
    return reply != SaveChangesReply::Cancel;
}

} // namespace velmora
