#pragma once
// The editor's document: which file the editor holds and its stamp, the text
// as read (encoding, byte-order mark and line ends kept beside it) and the
// very bytes read, loading, saving, Save As, reloading after an outside
// change, and the question before unsaved text is given up.
//
// The text itself is shown and edited by a control the document knows only
// through EditorTextView; the editor window attaches its control. Until one
// is attached (and after it goes) the document keeps its text in its own
// EditorTextBuffer, so the document works, and is tested, without any window
// or rendering engine.

#include "editor/editor_text.h"
#include "foundation/document_guard.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace velmora {

class FileDialogs;
class Prompts;

// The picture notice the editor shows instead of a picture's bytes.
inline const QString kPictureNotice =
    QStringLiteral("\r\n  Sorry, pictures cannot be displayed in editor ...");

// Pictures (.jpg and .gif) are shown in the browser only.
bool IsPictureFile(const QString &path);

// What the document asks of the control that shows and edits its text. The
// control reports changes of its modified state to the document
// (EditorDocument::TextModifiedChanged).
class EditorTextView {
public:
    virtual ~EditorTextView() = default;

    // The file's text: editable unless it is not exact, not modified, the
    // caret at the start, no undo history of an earlier text.
    virtual void ShowText(const EditorText &text) = 0;
    // A message in place of a file: not editable, not modified.
    virtual void ShowNotice(const QString &notice) = 0;
    // Empty and not modified.
    virtual void ClearText() = 0;
    // The text as the user sees it, lines joined by '\n'.
    virtual QString EditedText() const = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // True while the control holds a file's text that may be saved from:
    // not a notice, and not while a command (Format) has it locked.
    virtual bool HoldsFileText() const = 0;
    // The caret at the position and the next length characters selected.
    virtual void Select(qsizetype position, qsizetype length) = 0;
};

// The text kept without a control.
class EditorTextBuffer final : public QObject, public EditorTextView {
    Q_OBJECT
public:
    void ShowText(const EditorText &text) override;
    void ShowNotice(const QString &notice) override;
    void ClearText() override;
    QString EditedText() const override { return text_; }
    bool IsModified() const override { return modified_; }
    void SetModified(bool modified) override;
    bool HoldsFileText() const override { return holdsFile_; }
    void Select(qsizetype position, qsizetype length) override;

    // An edit by the user: the whole text becomes text. Refused (false) when
    // the text is read-only or no file's text is held.
    bool Edit(const QString &text);
    bool ReadOnly() const { return readOnly_; }
    qsizetype SelectionStart() const { return selectionStart_; }
    qsizetype SelectionLength() const { return selectionLength_; }

signals:
    void ModifiedChanged(bool modified);

private:
    void Replace(const QString &text, bool holdsFile, bool readOnly);

    QString text_;
    bool modified_ = false;
    bool holdsFile_ = false;
    bool readOnly_ = true;
    qsizetype selectionStart_ = 0;
    qsizetype selectionLength_ = 0;
};

// The position of column (from 1) in line (from 1) of text, whose lines are
// joined by '\n' or U+2029. A line past the end gives the end of the text; a
// column past the end of its line gives the end of that line.
qsizetype PositionOfLine(QStringView text, int line, int column);

class EditorDocument : public QObject, public DocumentGuard {
    Q_OBJECT
public:
    explicit EditorDocument(Prompts &prompts);
    ~EditorDocument() override;

    // The control that shows the text from now on; null gives the text back
    // to the document's own buffer. The text is not carried over: load or
    // clear after attaching.
    void SetView(EditorTextView *view);
    EditorTextView &View() const { return *view_; }
    // The document's own buffer, which holds the text while no control is
    // attached.
    EditorTextBuffer &Buffer() { return buffer_; }

    // The file in the editor, unless it is a .jpg or .gif picture (then the
    // picture notice, no file, but the picture's stamp); a file that cannot
    // be read shows why instead of its text. Not modified afterwards.
    // Virtual for test doubles that only count the questions.
    virtual void Load(const QString &file);
    // Empties the text and forgets the file.
    void Clear();
    // Writes the text to file in one step: the text as edited, or the bytes
    // as read when it is unchanged. What cannot be held exactly is never
    // written from the text (a beep). On failure the message names the file
    // and says why, and the document stays as it was (still modified).
    bool Save(const QString &file);
    // Save to the document's own file; a beep when there is none.
    bool Save();
    // Saves a copy under a name the user chooses; the document keeps its
    // file and its stamp. Returns the copy's path, or empty when nothing was
    // written.
    QString SaveAs(FileDialogs &dialogs);
    // Opens file, unless it is the document's file already (whose unsaved
    // text then stays), and selects length characters from column (from 1)
    // of line (from 1). Unsaved text of another file is asked about first;
    // false when the answer (or a failed save) stops the opening, or when
    // the file's text cannot be shown.
    bool OpenAt(const QString &file, int line, int column, int length);

    bool IsModified() const { return view_->IsModified(); }
    // The text as read, for writing it back as it was.
    const EditorText &LoadedText() const { return loaded_; }
    // The bytes as read (or last saved): what an unchanged copy holds.
    const QByteArray &OriginalBytes() const { return original_; }
    // Counts the texts loaded or cleared: a command whose document was
    // replaced while it ran must not put its result into the new one.
    quint64 Generation() const { return generation_; }

    // Whether Save is offered now (the window's Save buttons); the question
    // before unsaved text is given up comes only while it is. Without a
    // window it always is.
    void SetSaveOffered(bool offered) { saveOffered_ = offered; }
    // While a command rewrites the text, nothing may give it up: the
    // question answers Cancel.
    void SetBusy(bool busy) { busy_ = busy; }
    bool Busy() const { return busy_; }

    // DocumentGuard
    SaveChangesReply SaveChangesPrompt() override;
    void ReloadFromDisk() override;

    // The control's modified state changed (by an edit, an undo, a save).
    void TextModifiedChanged(bool modified);

signals:
    void ModifiedChanged(bool modified);
    // A file (or a picture's notice) was loaded; path is the file shown.
    void Loaded(const QString &path);
    // The text was written to path (the document's file or a copy).
    void Saved(const QString &path);
    void Cleared();

private:
    void ShowFileText(const QString &file);

    Prompts &prompts_;
    EditorTextBuffer buffer_;
    EditorTextView *view_ = &buffer_;
    EditorText loaded_;
    QByteArray original_;
    quint64 generation_ = 0;
    bool saveOffered_ = true;
    bool busy_ = false;
};

} // namespace velmora
