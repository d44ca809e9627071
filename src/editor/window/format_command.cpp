#include "editor/window/format_command.h"

#include "formatter/html_formatter.h"
#include "foundation/progress.h"

#include <limits>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

int BarValue(qsizetype value) {
    return int(std::min<qsizetype>(value, std::numeric_limits<int>::max()));
}

// Puts the bar back to 0 on every way out, a failed allocation included.
class BarReset {
public:
    explicit BarReset(ProgressBar *bar) : bar_(bar) {}
    ~BarReset() {
        if (bar_)
            ProgressSet(*bar_, false, 0);
    }
    BarReset(const BarReset &) = delete;
    BarReset &operator=(const BarReset &) = delete;

private:
    ProgressBar *bar_;
};

QString FirstLine(const QString &text) {
    const qsizetype end = text.indexOf(u'\n');
    return end < 0 ? text : text.first(end);
}

} // namespace

QString FormatEditorText(const QString &text, const FormatterStyle &style, ProgressBar *bar,
                         const std::function<void()> &pump) {
    const BarReset reset(bar);
    // Each pass reports against its own maximum (characters, then lines): the
    // bar's range follows whenever the maximum changes.
    qsizetype shownMaximum = -1;
    const FormatProgress progress = [&](qsizetype position, qsizetype maximum) {
        if (bar) {
            if (maximum != shownMaximum) {
                ProgressInit(*bar, false, BarValue(maximum));
                shownMaximum = maximum;
            }
            ProgressSet(*bar, false, BarValue(position));
        }
        if (pump)
            pump();
    };
    return FormatHtml(text, style, LeadingBlanks(FirstLine(text)), progress, u"\n");
}

} // namespace velmora
