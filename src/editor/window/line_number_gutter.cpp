#include "editor/window/line_number_gutter.h"

#include "editor/window/source_edit.h"

#include <QPaintEvent>
#include <QPainter>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

constexpr int kMinDigits = 3;
constexpr int kPadding = 4; // on each side of the numbers

// Muted against the text, like the page's margin; the current line's number
// is black and bold, so it reads in every colour scheme.
const QColor kBackground(240, 240, 240);
const QColor kNumber(128, 128, 128);
const QColor kCurrentNumber(Qt::black);
const QColor kEdge(208, 208, 208);

} // namespace

LineNumberGutter::LineNumberGutter(SourceEdit &edit) : QWidget(&edit), edit_(edit) {
    setObjectName(u"LineNumbers"_s);
    setAccessibleName(u"Line numbers"_s);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FollowFont();
}

void LineNumberGutter::FollowFont() {
    plain_ = edit_.font();
    bold_ = plain_;
    bold_.setBold(true);
    const QFontMetrics metrics(plain_);
    digitWidth_ = metrics.horizontalAdvance(u'9');
    lineHeight_ = metrics.height();
}

int LineNumberGutter::WidthFor(int lineCount) const {
    int digits = 1;
    for (int n = std::max(1, lineCount); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, kMinDigits);
    return digitWidth_ * digits + 2 * kPadding + 1;
}

QSize LineNumberGutter::sizeHint() const {
    return {WidthFor(edit_.blockCount()), 0};
}

// Only the lines beside the part asked for are looked at and drawn: typing
// repaints the numbers of one line, not of the whole strip.
void LineNumberGutter::paintEvent(QPaintEvent *event) {
    const QRect area = event->rect();
    QPainter painter(this);
    painter.fillRect(area, kBackground);
    painter.setPen(kEdge);
    painter.drawLine(width() - 1, area.top(), width() - 1, area.bottom());
    const int right = width() - 1 - kPadding;
    for (const GutterLine &line : edit_.VisibleLineNumbers(area.top(), area.bottom())) {
        painter.setFont(line.current ? bold_ : plain_);
        painter.setPen(line.current ? kCurrentNumber : kNumber);
        // A wrapped line shows its number beside its first row only.
        painter.drawText(QRect(0, line.top, right, lineHeight_), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(line.number));
    }
}

} // namespace velmora
