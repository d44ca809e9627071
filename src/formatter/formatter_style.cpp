#include "formatter/formatter_style.h"

#include "foundation/ini_file.h"
#include "foundation/text_utils.h"

#include <QDir>

#include <algorithm>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

QString StyleFile(const QString &folder, const QString &name) {
    return QDir(folder).filePath(name);
}

// Tag names are compared with upper-case keys; a rule written in lower case
// would otherwise never match.
QString ReadTagName(const IniFile &ini, const QString &section, const QString &key) {
    return AsciiUpper(ini.ReadString(section, key, QString()).left(RecTAGInfo::kTagLength));
}

bool IsListSeparator(QChar c) {
    return c == u',' || c == u' ' || (c >= u'\t' && c <= u'\r'); // TAB, LF, VT, FF, CR
}

// The words of a list separated by blanks and commas. (A regular expression
// would do, but compiling one is a good part of velmora-format's start.)
QStringList ListWords(const QString &value) {
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= value.size(); ++i) {
        const bool separator = i == value.size() || IsListSeparator(value[i]);
        if (!separator && start < 0)
            start = i;
        else if (separator && start >= 0) {
            words.append(value.mid(start, i - start));
            start = -1;
        }
    }
    return words;
}

// A blank- or comma-separated list of tag names. Only names a tag key can
// hold (letters and digits) are kept, in upper case, at most kMaxVerbatimTags.
QStringList VerbatimTagList(const QString &value) {
    constexpr qsizetype kMaxVerbatimTags = 20;
    QStringList names;
    for (const QString &word : ListWords(value)) {
        const QString name = AsciiUpper(word.left(RecTAGInfo::kTagLength));
        const bool usable =
            std::all_of(name.begin(), name.end(), [](QChar c) { return IsAlphaNum(c); });
        if (usable && !names.contains(name) && names.size() < kMaxVerbatimTags)
            names.append(name);
    }
    return names;
}

} // namespace

int FormatterOptions::IndentColumnsCap() const {
    return MaxIndentColumns > 0 ? std::min(MaxIndentColumns, kIndentColumnsLimit)
                                : kIndentColumnsLimit;
}

RecTAGInfo DefaultTag() {
    RecTAGInfo tag;
    tag.CommentLength = 40;
    tag.CommentSymbol = u"*"_s;
    tag.Cindent = true;
    return tag;
}

FormatterStyle::FormatterStyle() {
    TagTable.fill(DefaultTag());
}

void ReadStyleOptions(const QString &folder, FormatterOptions &options) {
    IniFile ini;
    ini.Load(StyleFile(folder, u"options.ini"_s));
    StyleOptionsFromIni(ini, options);
}

void StyleOptionsFromIni(const IniFile &ini, FormatterOptions &options) {
    const FormatterOptions defaults;
    const QString s = u"OPTIONS"_s;
    options.LineSize = ini.ReadInteger(s, u"LineSize"_s, defaults.LineSize);
    options.Spacing = ini.ReadInteger(s, u"Spacing"_s, defaults.Spacing);
    options.DoDisableComments = ini.ReadBool(s, u"DoDisableComments"_s, defaults.DoDisableComments);
    options.BreakExcluder = ini.ReadString(s, u"BreakExcluder"_s, defaults.BreakExcluder);
    options.TagCase = ini.ReadInteger(s, u"TagCase"_s, defaults.TagCase);
    options.MaxIndentColumns = ini.ReadInteger(s, u"MaxIndentColumns"_s, defaults.MaxIndentColumns);
    options.VerbatimTags = VerbatimTagList(ini.ReadString(s, u"VerbatimTags"_s, QString()));
    options.DoctypeAsWritten = ini.ReadBool(s, u"DoctypeAsWritten"_s, defaults.DoctypeAsWritten);
}

bool IsStyleVerbatimKey(const FormatterOptions &options, QStringView key) {
    if (options.VerbatimTags.isEmpty() || key.size() < 3 || !key.startsWith(u'<') ||
        !key.endsWith(u'>'))
        return false;
    return options.VerbatimTags.contains(key.sliced(1, key.size() - 2));
}

void ReadTagRules(const QString &folder, FormatterStyle &style) {
    IniFile ini;
    ini.Load(StyleFile(folder, u"tag.ini"_s));
    TagRulesFromIni(ini, style);
}

void TagRulesFromIni(const IniFile &ini, FormatterStyle &style) {
    style.TagTable.fill(DefaultTag());

    const QStringList sections = ini.SectionNames();
    style.TagCount = int(std::min<qsizetype>(sections.size(), FormatterStyle::kMaxRules));
    for (int k = 1; k <= style.TagCount; ++k) {
        const QString &s = sections[k - 1];
        RecTAGInfo &rule = style.TagTable[size_t(k - 1)];
        rule.Name = s.left(RecTAGInfo::kTagLength);
        rule.TagOpen = ReadTagName(ini, s, u"TagOpen"_s);
        rule.TagClose = ReadTagName(ini, s, u"TagClose"_s);
        rule.isSelfIndent = ini.ReadInteger(s, u"isSelfIndent"_s, 0);
        rule.isContentIndent = ini.ReadInteger(s, u"isContentIndent"_s, 0);
        // More line breaks than any layout wants would only let a style turn
        // a small page into gigabytes of empty lines.
        rule.CRLFLeading = std::min(ini.ReadInteger(s, u"CRLFLeading"_s, 0), kMaxLineBreaks);
        rule.CRLFFollowed = std::min(ini.ReadInteger(s, u"CRLFFollowed"_s, 0), kMaxLineBreaks);
        rule.DoGenerateSComment = ini.ReadBool(s, u"DoGenerateSComment"_s, false);
        rule.DoGenerateEComment = ini.ReadBool(s, u"DoGenerateEComment"_s, false);
        rule.StartComment =
            ini.ReadString(s, u"StartComment"_s, QString()).left(RecTAGInfo::kCommentLength);
        rule.EndComment =
            ini.ReadString(s, u"EndComment"_s, QString()).left(RecTAGInfo::kCommentLength);
        rule.CommentLength = ini.ReadInteger(s, u"CommentLength"_s, 40);
        rule.CommentSymbol = ini.ReadString(s, u"CommentSymbol"_s, QString()).left(1);
        rule.TreatAsText = ini.ReadBool(s, u"TreatAsText"_s, false);
        rule.EnableCounter = ini.ReadBool(s, u"EnableCounter"_s, false);
        rule.Cindent = ini.ReadBool(s, u"Cindent"_s, true);
        rule.Index = k;
        // A block tag always starts and ends a line of its own.
        if (!rule.TreatAsText) {
            if (rule.CRLFLeading == 0)
                rule.CRLFLeading = 1;
            if (rule.CRLFFollowed == 0)
                rule.CRLFFollowed = 1;
        }
    }
}

QStringList FormatterStyleNames(const QString &stylesDir) {
    QStringList names;
    const QDir dir(stylesDir);
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir style(dir.filePath(name));
        if (style.exists(u"options.ini"_s) || style.exists(u"tag.ini"_s))
            names.append(name);
    }
    return names;
}

FormatterStyle LoadFormatterStyle(const QString &folder) {
    FormatterStyle style;
    ReadStyleOptions(folder, style.Options);
    ReadTagRules(folder, style);
    return style;
}

} // namespace velmora
