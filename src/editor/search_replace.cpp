#include "editor/search_replace.h"

#include <algorithm>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// An invalid regular expression says what is wrong and where, and searches
// nothing.
bool ReportInvalid(const TextPattern &pattern, Prompts &prompts) {
    if (pattern.Valid())
        return false;
    prompts.ShowInfo(u"The regular expression \""_s + pattern.Find() + u"\" is not valid: "_s +
                     pattern.Error() + u'.');
    return true;
}

} // namespace

qsizetype FindText(QStringView text, QStringView find, qsizetype from, SearchOptions options) {
    return TextPattern(find.toString(), options).Next(text, from, true).start;
}

qsizetype FindOrReplace(EditableText &editor, const QString &find, const QString &replacement,
                        bool replace, bool replaceAll, SearchOptions options, Prompts &prompts) {
    const TextPattern pattern(find, options);
    if (ReportInvalid(pattern, prompts))
        return -1;
    // Find Next and Replace go on after the selection; Replace All takes the
    // whole text, so that no occurrence before the caret is left behind.
    const EditorSelection sel = editor.Selection();
    const bool wholeText = replace && replaceAll;
    const qsizetype start = !wholeText && sel.length > 0 ? sel.start + sel.length : 0;
    const QString text = editor.Text();
    const PatternMatch match = pattern.Next(text, start, !wholeText);
    if (!match.Found()) {
        prompts.ShowInfo(u'"' + find + u"\" not found."_s);
        return -1;
    }
    const qsizetype p = match.start;
    editor.FocusIfVisible();
    editor.Select(p, match.length);
    if (replace) {
        if (replaceAll) {
            ReplaceAllInEditor(editor, find, replacement, options, p, prompts);
        } else {
            const QString inserted = pattern.Expand(match, replacement);
            editor.ReplaceSelection(inserted);
            editor.Select(p, inserted.size());
        }
        editor.MarkModified();
    }
    return p;
}

int ReplaceAllInEditor(EditableText &editor, const QString &find, const QString &replacement,
                       SearchOptions options, qsizetype p, Prompts &prompts) {
    const TextPattern pattern(find, options);
    if (ReportInvalid(pattern, prompts))
        return 0;
    const QString text = editor.Text();
    p = std::clamp<qsizetype>(p, 0, text.size());
    const ReplaceAllResult result = pattern.ReplaceAll(text, p, replacement);
    if (result.count > 0) {
        // The text before p is unchanged: only the rest is replaced, as one
        // change that one Undo takes back.
        editor.Select(p, text.size() - p);
        editor.ReplaceSelection(result.text.mid(p));
        editor.Select(result.lastEnd, 0);
    }
    prompts.ShowInfo(u'"' + find + u"\", Replace done: "_s + QString::number(result.count) +
                     u" times"_s);
    return result.count;
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
