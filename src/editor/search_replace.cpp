#include "editor/search_replace.h"

#include <algorithm>
#include <optional>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The next occurrence at or after from. prevChar, when given, stands for the
// character before position from (after an inserted replacement it is not the
// text's own); a null QChar means there is none.
qsizetype FindFrom(QStringView text, QStringView find, qsizetype from, SearchOptions options,
                   std::optional<QChar> prevChar = std::nullopt) {
    if (find.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype q = text.indexOf(find, from, cs); q >= 0; q = text.indexOf(find, q + 1, cs)) {
        if (!options.wholeWord)
            return q;
        QChar before;
        if (q == from && prevChar)
            before = *prevChar;
        else if (q > 0)
            before = text[q - 1];
        const qsizetype after = q + find.size();
        const bool startOk = before.isNull() || !IsWordChar(before);
        const bool endOk = after >= text.size() || !IsWordChar(text[after]);
        if (startOk && endOk)
            return q;
    }
    return -1;
}

} // namespace

qsizetype FindText(QStringView text, QStringView find, qsizetype from, SearchOptions options) {
    return FindFrom(text, find, from, options);
}

qsizetype FindOrReplace(EditableText &editor, const QString &find, const QString &replacement,
                        bool replace, bool replaceAll, SearchOptions options, Prompts &prompts) {
    // Find Next and Replace go on after the selection; Replace All takes the
    // whole text, so that no occurrence before the caret is left behind.
    const EditorSelection sel = editor.Selection();
    const bool wholeText = replace && replaceAll;
    const qsizetype start = !wholeText && sel.length > 0 ? sel.start + sel.length : 0;
    const QString text = editor.Text();
    const qsizetype p = FindFrom(text, find, start, options);
    if (p < 0) {
        prompts.ShowInfo(u'"' + find + u"\" not found."_s);
        return -1;
    }
    editor.FocusIfVisible();
    editor.Select(p, find.size());
    if (replace) {
        if (replaceAll) {
            ReplaceAllInEditor(editor, find, replacement, options, p, prompts);
        } else {
            editor.ReplaceSelection(replacement);
            editor.Select(p, replacement.size());
        }
        editor.MarkModified();
    }
    return p;
}

int ReplaceAllInEditor(EditableText &editor, const QString &find, const QString &replacement,
                       SearchOptions options, qsizetype p, Prompts &prompts) {
    const QString text = editor.Text();
    p = std::clamp<qsizetype>(p, 0, text.size());
    // One pass over the text as it stands: each search starts after the
    // previous replacement, so the text after it is the original text; only
    // the character before a directly following occurrence is the
    // replacement's last one.
    QString tail; // the text from p on as it becomes
    int count = 0;
    qsizetype from = p;
    qsizetype caret = -1;
    for (;;) {
        // After a replacement the character before `from` is the last one
        // written (the text's own character when nothing was written yet).
        std::optional<QChar> prev;
        if (count > 0)
            prev = !tail.isEmpty() ? tail.back() : (p > 0 ? text[p - 1] : QChar());
        const qsizetype q = FindFrom(text, find, from, options, prev);
        if (q < 0)
            break;
        tail += QStringView(text).mid(from, q - from);
        tail += replacement;
        ++count;
        caret = p + tail.size();
        from = q + find.size();
    }
    if (count > 0) {
        tail += QStringView(text).mid(from);
        editor.Select(p, text.size() - p);
        editor.ReplaceSelection(tail);
        editor.Select(caret, 0);
    }
    prompts.ShowInfo(u'"' + find + u"\", Replace done: "_s + QString::number(count) + u" times"_s);
    return count;
}

void PlainEditableText::Select(qsizetype start, qsizetype length) {
    start = std::clamp<qsizetype>(start, 0, text_.size());
    selection_ = {start, std::clamp<qsizetype>(length, 0, text_.size() - start)};
}

void PlainEditableText::ReplaceSelection(const QString &text) {
    text_.replace(selection_.start, selection_.length, text);
    selection_ = {selection_.start + text.size(), 0};
}

} // namespace velmora
