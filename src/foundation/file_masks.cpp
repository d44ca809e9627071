#include "foundation/file_masks.h"

namespace velmora {

namespace {

QString Folded(const QString &s) {
    return s.toCaseFolded();
}

// True when the text after the pattern's last dot has three characters, none
// of them '*' ("*.htm", "page.h?m"; not "*.*" nor "*.ht*").
bool HasThreeCharacterExtension(const QString &pattern) {
    const qsizetype dot = pattern.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QStringView ext = QStringView(pattern).mid(dot + 1);
    return ext.size() == 3 && !ext.contains(u'*');
}

} // namespace

bool MatchesWildcard(QStringView pattern, QStringView name) {
    // Greedy matching with one backtrack point: the last '*' seen.
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

FileMask::FileMask(const QString &maskText) {
    for (const QString &part : maskText.split(u';', Qt::SkipEmptyParts)) {
        const QString text = Folded(part.trimmed());
        if (text.isEmpty())
            continue;
        patterns_.append({text, HasThreeCharacterExtension(text)});
    }
}

bool FileMask::Matches(const QString &fileName) const {
    if (patterns_.isEmpty())
        return false;
    const QString name = Folded(fileName);
    // The name with its final extension cut to three characters, for the
    // patterns that also match longer extensions.
    QStringView shortened;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.size() - dot - 1 > 3)
        shortened = QStringView(name).left(dot + 4);
    for (const Pattern &pattern : patterns_) {
        if (pattern.text == u"*.*" || MatchesWildcard(pattern.text, name))
            return true;
        if (pattern.extendsExtension && !shortened.isEmpty() &&
            MatchesWildcard(pattern.text, shortened))
            return true;
    }
    return false;
}

bool MatchesMask(const QString &fileName, const QString &maskText) {
    return FileMask(maskText).Matches(fileName);
}

} // namespace velmora
