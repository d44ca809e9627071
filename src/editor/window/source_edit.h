#pragma once
// The editor control REScreen: the source of one file as plain text, in a
// fixed-pitch font, without word wrap, with both scroll bars always shown.
// It is disabled until a text file is shown. The text is taken from and
// given back to the document exactly: non-breaking spaces and other unusual
// characters stay as they are (the control's plain-text export would turn
// them into spaces).

#include "editor/editor_text.h"
#include "editor/syntax_kinds.h"
#include "editor/syntax_palette.h"
#include "editor/tag_match.h"

#include <QColor>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCharFormat>
#include <QTimer>

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QTextBlock;

namespace velmora {

class LineNumberGutter;

// A line as the line-number strip shows it: its number (from 1), where its
// first row is in the strip's coordinates, how high it is with all its rows,
// and whether the caret is on it.
struct GutterLine {
    int number = 0;
    int top = 0;
    int height = 0;
    bool current = false;
};

// How long after the last edit the matching tag is looked for: typing goes
// on without the search, which may pass over the whole text.
inline constexpr int kMatchAfterEditMs = 100;

// The background of the tag that opens or closes the tag at the caret.
inline const QColor kMatchingTagBackground{255, 220, 130};

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

    // The document's raw text: one character per position, U+2029 between
    // lines. Shared until the text changes, so asking again is cheap.
    QString RawText() const;

    bool IsModified() const;
    void SetModified(bool modified);

    // ---- colours --------------------------------------------------------
    // The text's colours are kinds kept beside the document, turned into the
    // palette's colours for the lines being painted. Colouring while typing
    // always runs; the full colouring (of a loaded, pasted or inserted text)
    // only while colouring is on. Neither touches the modified flag.

    // DoColorTags: off, loaded and pasted text is plain, and the palette
    // set later is not shown (SetColours still takes it for the next
    // repaint).
    void SetColouring(bool on);
    bool Colouring() const { return colouring_; }
    // The palette used when painting from now on; the visible lines are
    // repainted in it when colouring is on.
    void SetColours(const SyntaxColours &colours);
    const SyntaxColours &Colours() const { return colours_; }
    // Recolours the whole text with the full colouring when colouring is on;
    // the text, the caret and the scroll position stay as they are.
    void RepaintSyntax();
    // Replaces the selection, or the whole text when selectAll, with text as
    // ONE undo step; while colouring is on the inserted text gets the full
    // colouring (as a text on its own), else it is plain. The caret then
    // stands where the selection began (the paste rule; the tag hint selects
    // the inserted text itself, the Format command gets its old caret
    // position back). An empty text does nothing. Returns the position where
    // the text begins, or -1 when nothing was inserted.
    qsizetype PaintSyntax(const QString &text, bool selectAll);
    // The kind of the character at pos (Text outside the text).
    SyntaxKind KindAt(qsizetype pos) const { return kinds_.At(pos); }

    // How many characters may still be inserted in place of the selection.
    qsizetype Room() const;

    // ---- line numbers, lines and the matching tag --------------------------

    // The strip of line numbers at the left: on unless switched off.
    void SetLineNumbers(bool on);
    bool LineNumbers() const;
    // The lines whose first row is in view, top to bottom; none while the
    // control holds no file (disabled).
    std::vector<GutterLine> VisibleLineNumbers() const;
    // Those of them that reach into the rows top to bottom of the strip.
    std::vector<GutterLine> VisibleLineNumbers(int top, int bottom) const;
    LineNumberGutter *Gutter() const { return gutter_; }

    // The caret at the start of line (from 1; beyond the last line the last
    // line), scrolled into view, nothing selected.
    void GoToLine(int line);

    // The tag around the caret and its partner, as last shown; nullopt
    // while the caret is in no tag or its tag has no partner. It is looked
    // for once the events of a caret move are done, and kMatchAfterEditMs
    // after the last edit (so that typing costs no search, and a burst of
    // changes one).
    std::optional<TagPair> MatchedTag() const { return matchedTag_; }
    // The caret into the partner of the tag around it, just after its '<';
    // false (and nothing moves) when there is none.
    bool JumpToMatchingTag();

signals:
    void ModifiedChanged(bool modified);
    // The tag range around the caret was recoloured after a structural
    // character was typed or deleted.
    void Recoloured(qsizetype start, qsizetype end);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Typing and pasting stop at kEditorMaxChars characters. Typed
    // characters get their likely colour; typing or deleting a structural
    // character recolours the tag around the caret.
    void keyPressEvent(QKeyEvent *event) override;
    // With colouring on, pasting is a coloured paste (caret at the start of
    // the pasted text).
    void insertFromMimeData(const QMimeData *source) override;
    // Copies text/plain exactly as the text stands, and text/rtf with the
    // colours while colouring is on.
    QMimeData *createMimeDataFromSelection() const override;
    // The visible lines get their colours just before they are painted.
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void ReplaceAll(const QString &text);
    void DocumentContentsChange(int pos, int removed, int added);
    // Runs an edit whose inserted characters get the kind fill.
    template <typename Edit> void EditAs(SyntaxKind fill, Edit &&edit);
    void TypeKey(QKeyEvent *event);
    void EraseKey(QKeyEvent *event);
    void RecolourAroundCaret();
    void ColourVisibleBlocks();
    PositionRange ShownPart(const QTextBlock &block) const;
    void MarkStale(PositionRange range);
    void MarkAllStale();
    QChar CharAt(qsizetype pos) const;
    void SetNotice(const QString &notice);
    // lineCount: the lines the strip is made wide enough for from now on
    // (when negative, as many as before).
    void PlaceNotice(int lineCount = -1);
    // The strip's number of the caret's line moves to another line: only the
    // two lines' numbers are drawn again.
    void FollowCurrentLine();
    void UpdateGutterBeside(int blockNumber);
    // visit(number from 0, top, height) for each shown line whose first row
    // is above bottom, top to bottom, until it returns false.
    template <typename Visit> void ForEachLineInView(int bottom, Visit &&visit) const;
    void DocumentModificationChanged(bool modified);
    void FollowViewportUpdate(const QRect &rect, int dy);
    void ShowMatchingTag();
    bool CaretMayBeInTag() const;

    // While the whole text is replaced, the document's passing changes of its
    // modified state are not reported: only the outcome is.
    bool replacing_ = false;
    // Set while SetModified changes the mark, and while the mark an undo
    // cleared is put back.
    bool settingModified_ = false;
    bool remarking_ = false;
    QLabel *notice_ = nullptr;
    LineNumberGutter *gutter_ = nullptr;
    std::optional<TagPair> matchedTag_;
    QTimer matchTimer_;
    bool editSinceMatch_ = false;
    bool lineNumbers_ = true;
    // The lines the strip is wide enough for, and the caret's line as the
    // strip last showed it.
    int gutterLines_ = 1;
    int currentLine_ = 0;

    SyntaxKindStore kinds_;
    SyntaxColours colours_;
    std::array<QTextCharFormat, 4> formats_;
    bool colouring_ = true;
    // Set while this control makes an edit itself: the characters it
    // inserts get fill_. Other edits (undo, redo, replacements) get their
    // kinds from the text around them.
    bool ownEdit_ = false;
    SyntaxKind fill_ = SyntaxKind::Text;
    // A block whose user state equals colourStamp_ shows the current kinds
    // in the current palette.
    int colourStamp_ = 1;
    mutable QString rawText_;
    mutable bool rawFresh_ = false;
};

} // namespace velmora
