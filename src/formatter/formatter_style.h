#pragma once
// A formatter style: the layout options of options.ini and the tag rules of
// tag.ini, read once from a style folder and then only read by the passes.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace velmora {

class IniFile;

// The widest indentation ever written, whatever the style says (128 TABs).
// Without such a bound the output grows with the square of the nesting depth:
// 100,000 nested blocks, a page of 1.1 MB, would give gigabytes. Real pages
// nest far less deep (256 levels of four columns fit), so their output does
// not change.
inline constexpr int kIndentColumnsLimit = 1024;
// The most line breaks a tag rule may ask for before or after its tag.
inline constexpr int kMaxLineBreaks = 100;

// Layout options, section OPTIONS of options.ini.
struct FormatterOptions {
    int LineSize = 80; // text lines wrap beyond this width (indentation not counted)
    int Spacing = 4;   // columns per indentation step
    bool DoDisableComments = false;
    QString BreakExcluder = QStringLiteral("\""); // '"': quoted strings; else: tags
    int TagCase = 1;                              // 1 upper, 2 lower, anything else as written
    // Widest indentation written, in columns; 0 (or less) means no limit of
    // the style's own. Either way it stops at kIndentColumnsLimit. A lower
    // limit keeps the output of deeply nested pages smaller still.
    int MaxIndentColumns = 0;
    // Further tags whose blocks are copied unchanged, like PRE: upper-case
    // names without brackets ("SVG"). Read from a blank-separated list.
    QStringList VerbatimTags;
    // Declarations ("<!DOCTYPE html>") keep the letter case they have.
    bool DoctypeAsWritten = false;

    // The widest indentation actually written: MaxIndentColumns when set, at
    // most kIndentColumnsLimit.
    int IndentColumnsCap() const;
};

// Whether key ("<SVG>") opens a block of one of options' VerbatimTags.
bool IsStyleVerbatimKey(const FormatterOptions &options, QStringView key);

// One tag rule. Field lengths are those the style files are cut to on reading.
struct RecTAGInfo {
    static constexpr int kTagLength = 20;
    static constexpr int kCommentLength = 30;

    QString Name;
    bool TreatAsText = false;
    QString TagOpen;
    QString TagClose;
    int isSelfIndent = 0;
    int isContentIndent = 0;
    int CRLFLeading = 0;
    int CRLFFollowed = 0;
    bool DoGenerateSComment = false;
    bool DoGenerateEComment = false;
    QString StartComment;
    QString EndComment;
    int CommentLength = 40;
    QString CommentSymbol;
    bool Cindent = true;
    bool EnableCounter = false;
    int Index = 0; // slot in the tag table counted from 1; 0 for DefaultTag
};

// The rule of a tag that has no rule of its own.
RecTAGInfo DefaultTag();

struct FormatterStyle {
    static constexpr int kMaxRules = 100;

    FormatterOptions Options;
    std::array<RecTAGInfo, kMaxRules> TagTable;
    int TagCount = 0; // only the first TagCount slots are searched

    FormatterStyle();
    const RecTAGInfo &Rule(int index) const { return TagTable[size_t(index - 1)]; }
};

// Reads options.ini of folder (a missing file or key gives the default).
void ReadStyleOptions(const QString &folder, FormatterOptions &options);
void StyleOptionsFromIni(const IniFile &ini, FormatterOptions &options);
// Reads tag.ini of folder into the tag table: at most the first 100 sections.
void ReadTagRules(const QString &folder, FormatterStyle &style);
void TagRulesFromIni(const IniFile &ini, FormatterStyle &style);
// The names of the styles in stylesDir: its folders holding options.ini or
// tag.ini, sorted.
QStringList FormatterStyleNames(const QString &stylesDir);
// The whole style of a folder (with or without its trailing '/').
FormatterStyle LoadFormatterStyle(const QString &folder);

} // namespace velmora
