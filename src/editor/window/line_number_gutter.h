#pragma once
// The strip at the editor's left that shows the number of each line beside
// it, the current line's in bold. It paints what the editor reports of its
// visible lines, so it follows scrolling, the font and wrapped lines.

#include <QFont>
#include <QWidget>

namespace velmora {

class SourceEdit;

class LineNumberGutter final : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberGutter(SourceEdit &edit);

    // Wide enough for the highest line number of the text, at least three
    // digits, so that the width rarely changes while typing.
    int WidthFor(int lineCount) const;
    QSize sizeHint() const override;
    // Takes the editor's font for the numbers; called when it changes.
    void FollowFont();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SourceEdit &edit_;
    // Kept from the editor's font, so that neither a paint nor a change of
    // the line count measures or builds a font.
    QFont plain_;
    QFont bold_;
    int digitWidth_ = 0;
    int lineHeight_ = 0;
    int ascent_ = 0;
    int boldDigitWidth_ = 0;
};

} // namespace velmora
