#pragma once
// Generated HTML pages for the formatter's property tests and benchmarks.

#include "formatter/formatter_style.h"

#include <QString>

#include <cstdint>

namespace velmora::testing {

enum class PageShape {
    Realistic, // an HTML 4 page: tables, lists, paragraphs with inline tags, scripts
    Messy,     // the same with unclosed and stray tags, odd blanks, "<" in text
    Garbage,   // random characters from an alphabet rich in markup
};

// A page of about size characters; the same seed gives the same page.
QString GenerateHtml(PageShape shape, qsizetype size, std::uint32_t seed);
// depth nested <div>s around a short text.
QString NestedDivs(int depth);

// Kinds of deep nesting: each level is one to three tags.
enum class NestKind {
    Cells,             // <td>
    CellsWithComments, // <td><!-- cell -->
    TablesInCells,     // <table><tr><td>
    Lists,             // <ul><li>
    Divs,              // <div>
    InlineTags,        // <b><i><font size=2>
};
inline constexpr NestKind kNestKinds[] = {NestKind::Cells,         NestKind::CellsWithComments,
                                          NestKind::TablesInCells, NestKind::Lists,
                                          NestKind::Divs,          NestKind::InlineTags};
const char *NestKindName(NestKind kind);
// How many nested tags one level of kind opens (a comment is not one).
int NestTagsPerLevel(NestKind kind);
// depth levels of kind around a short text, every tag closed.
QString NestedPage(NestKind kind, int depth);
// One tag whose attribute value is valueLength characters long (with blanks).
QString LongAttribute(qsizetype valueLength);

// The non-blank characters outside tags and generated comments, in order:
// what formatting must never change.
QString PageText(const QString &html);

// Formatting must settle: a run over its own output changes nothing. A
// generated comment of an earlier run is dropped and ends the text before it;
// where it stood inside a run of text, the run over the output joins the two
// lines again, so for pages holding one the third run is the one that must
// change nothing. expected and actual are the outputs of the last two runs.
struct SettledRuns {
    QString expected;
    QString actual;
    int run = 2; // the run that must have changed nothing
};
SettledRuns FormatUntilSettled(const QString &page, const QString &once,
                               const FormatterStyle &style);

} // namespace velmora::testing
