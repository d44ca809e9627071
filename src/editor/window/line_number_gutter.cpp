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
}

int LineNumberGutter::WidthFor(int lineCount) const {
    int digits = 1;
    for (int n = std::max(1, lineCount); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, kMinDigits);
    return edit_.fontMetrics().horizontalAdvance(u'9') * digits + 2 * kPadding + 1;
}

QSize LineNumberGutter::sizeHint() const {
    return {WidthFor(edit_.blockCount()), 0};
}

void LineNumberGutter::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), kBackground);
    painter.setPen(kEdge);
    painter.drawLine(width() - 1, event->rect().top(), width() - 1, event->rect().bottom());
    QFont plain = edit_.font();
    QFont bold = plain;
    bold.setBold(true);
    const int right = width() - 1 - kPadding;
    const int lineHeight = edit_.fontMetrics().height();
    for (const GutterLine &line : edit_.VisibleLineNumbers()) {
        if (line.top > event->rect().bottom() || line.top + line.height < event->rect().top())
            continue;
        painter.setFont(line.current ? bold : plain);
        painter.setPen(line.current ? kCurrentNumber : kNumber);
        // A wrapped line shows its number beside its first row only.
        painter.drawText(QRect(0, line.top, right, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(line.number));
    }
}

} // namespace velmora
