#pragma once
// The editor control as the search and replace sees it.

#include "editor/search_replace.h"

namespace velmora {

class SourceEdit;

// Positions are the control's document positions: one per character, one per
// line break, as in SourceEdit::EditedText.
class SourceEditText final : public EditableText {
public:
    explicit SourceEditText(SourceEdit &edit) : edit_(edit) {}

    QString Text() const override;
    EditorSelection Selection() const override;
    void Select(qsizetype start, qsizetype length) override;
    // One step for Undo, however much is replaced.
    void ReplaceSelection(const QString &text) override;
    void FocusIfVisible() override;
    void MarkModified() override;

private:
    SourceEdit &edit_;
};

} // namespace velmora
