#pragma once
// Generated HTML pages for the formatter's property tests and benchmarks.

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
// One tag whose attribute value is valueLength characters long (with blanks).
QString LongAttribute(qsizetype valueLength);

// The non-blank characters outside tags and generated comments, in order:
// what formatting must never change.
QString PageText(const QString &html);

} // namespace velmora::testing
