#pragma once
// File masks: one or more patterns separated by ';' ("*.htm;*.jpg;*.gif"),
// matched against file names without regard to letter case, '*' standing for
// any run of characters and '?' for exactly one. A pattern whose extension has
// three characters also matches names whose extension is longer and starts
// with those three: "*.htm" matches index.html, "*.sht" matches page.shtml.

#include <QString>
#include <QStringList>

namespace velmora {

class FileMask {
public:
    explicit FileMask(const QString &maskText);

    bool Matches(const QString &fileName) const;
    bool IsEmpty() const { return patterns_.isEmpty(); }

private:
    struct Pattern {
        QString text;                  // case-folded
        bool extendsExtension = false; // three-character extension without '*'
    };
    QList<Pattern> patterns_;
};

bool MatchesMask(const QString &fileName, const QString &maskText);

// Matches name against one case-folded pattern of '*' and '?' wildcards, in
// time proportional to the product of the lengths at worst.
bool MatchesWildcard(QStringView pattern, QStringView name);

} // namespace velmora
