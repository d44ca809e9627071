#pragma once
// The editor control REScreen: the source of one file as plain text, in a
// fixed-pitch font, without word wrap, with both scroll bars always shown.
// It is disabled until a text file is shown. The text is taken from and
// given back to the document exactly: non-breaking spaces and other unusual
// characters stay as they are (the control's plain-text export would turn
// them into spaces).

#include "editor/editor_text.h"

#include <QPlainTextEdit>
#include <QString>

class QLabel;

namespace velmora {

// The control's hint, shown as its tool tip when hints are on.
inline constexpr char16_t kSourceEditHint[] =
    u"[CTRL-Z] = UnDo ,  [CTRL-S] = Save ,  [CTRL-F] = Search/Replace";

class SourceEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit SourceEdit(QWidget *parent = nullptr);

    // Replaces everything with the file's text without repainting in
    // between; read-only when the text is not exact. Afterwards the caret is
    // at the start, the control enabled, the text not modified, and the undo
    // history of the previous text gone.
    void ShowText(const EditorText &text);
    // A message in place of a file (for pictures): disabled, not modified.
    void ShowNotice(const QString &text);
    // Empty and not modified; enabled or not as before.
    void ClearText();
    // Replaces the whole text as one edit, which one Undo takes back; the
    // caret goes to the start.
    void ReplaceAllAsOneStep(const QString &text);

    // Why the text shown is read-only, in a strip above it; empty for none.
    QString Notice() const;

    // The text as the user sees it, lines joined by '\n'.
    QString EditedText() const;

    bool IsModified() const;
    void SetModified(bool modified);

signals:
    void ModifiedChanged(bool modified);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Typing and pasting stop at kEditorMaxChars characters.
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void ReplaceAll(const QString &text);
    void SetNotice(const QString &notice);
    void PlaceNotice();
    void DocumentModificationChanged(bool modified);

    // While the whole text is replaced, the document's passing changes of its
    // modified state are not reported: only the outcome is.
    bool replacing_ = false;
    QLabel *notice_ = nullptr;
    // How many characters may still be inserted in place of the selection.
    qsizetype Room() const;
};

} // namespace velmora
