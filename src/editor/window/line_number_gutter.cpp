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
    ascent_ = metrics.ascent();
    boldDigitWidth_ = QFontMetrics(bold_).horizontalAdvance(u'9');
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
// repaints the numbers of one line, not of the whole strip. Each number is
// drawn at a point worked out from the digit width (digits are of equal width
// in every font meant for code), which spares a text layout per line.
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
        const QString number = QString::number(line.number);
        const int numberWidth = int(number.size()) * (line.current ? boldDigitWidth_ : digitWidth_);
        painter.drawText(QPoint(right - numberWidth, line.top + ascent_), number);
    }
}

} // namespace velmora
