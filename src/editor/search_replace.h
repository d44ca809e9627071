#pragma once
// Find and Replace in the editor, on any text that can report and change its
// selection: the editor window adapts its text control to EditableText.

#include "editor/text_pattern.h"
#include "foundation/prompts.h"

#include <QString>
#include <QStringView>

namespace velmora {

// Whole word, Match case and Regular expression, as TextPattern reads them.
using SearchOptions = PatternOptions;

struct EditorSelection {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The text the search works on, with positions counted from 0.
class EditableText {
public:
    virtual ~EditableText() = default;
    virtual QString Text() const = 0;
    virtual EditorSelection Selection() const = 0;
    virtual void Select(qsizetype start, qsizetype length) = 0;
    // Replaces the selection; the caret ends after the inserted text.
    virtual void ReplaceSelection(const QString &text) = 0;
    // Gives the control the focus when it is visible and enabled.
    virtual void FocusIfVisible() = 0;
    virtual void MarkModified() = 0;
};

// The first occurrence of find at or after from (-1 when none). With
// wholeWord, the characters on both sides are not letters, digits or '_'.
// An empty find text is never found.
qsizetype FindText(QStringView text, QStringView find, qsizetype from, SearchOptions options);

// Find Next (replace false) or Replace, searching from the end of the
// selection (from the start of the text when nothing is selected); or Replace
// All (replaceAll), which replaces every occurrence in the whole text as one
// change and reports how many. Find Next and Replace pass over empty matches
// of a regular expression (they could not be seen selected); Replace All
// replaces them too. Returns the position of the (first) occurrence found, or
// -1 after the "not found" message; an invalid regular expression is
// reported with its error and offset, and gives -1 too.
qsizetype FindOrReplace(EditableText &editor, const QString &find, const QString &replacement,
                        bool replace, bool replaceAll, SearchOptions options, Prompts &prompts);

// Replaces every occurrence from position p on, each once (the search goes on
// after each inserted replacement), as one change, and reports the count.
// Returns it (0 for an invalid regular expression, which is reported).
int ReplaceAllInEditor(EditableText &editor, const QString &find, const QString &replacement,
                       SearchOptions options, qsizetype p, Prompts &prompts);

// An EditableText over a plain string.
class PlainEditableText final : public EditableText {
public:
    explicit PlainEditableText(QString text = QString()) : text_(std::move(text)) {}

    QString Text() const override { return text_; }
    EditorSelection Selection() const override { return selection_; }
    void Select(qsizetype start, qsizetype length) override;
    void ReplaceSelection(const QString &text) override;
    void FocusIfVisible() override { ++focusCount_; }
    void MarkModified() override { modified_ = true; }

    bool Modified() const { return modified_; }
    int FocusCount() const { return focusCount_; }
    QString SelectedText() const { return text_.mid(selection_.start, selection_.length); }

private:
    QString text_;
    EditorSelection selection_;
    bool modified_ = false;
    int focusCount_ = 0;
};

} // namespace velmora
