#pragma once
// The tag that opens or closes the tag around the caret: for an opening tag
// the closing tag of the same name at the same nesting depth after it, for a
// closing tag the opening tag before it. Names are compared without regard to
// letter case. Void tags (br, img, ...), tags closed by "/>", declarations
// and tags without a partner have none; neither do tags inside a comment or
// inside a script or style element, and such stretches are passed over while
// looking for a partner.
//
// A tag here runs from its '<' to the next '>'. The work is one pass over at
// most the whole text in either direction, without allocation.

#include <QStringView>

#include <optional>

namespace velmora {

// A tag's characters: from its '<' up to, not including, end (one past '>').
struct TagSpan {
    qsizetype start = 0;
    qsizetype end = 0;

    friend bool operator==(const TagSpan &, const TagSpan &) = default;
};

struct TagPair {
    TagSpan current; // the tag around the caret
    TagSpan partner; // the tag that opens or closes it

    friend bool operator==(const TagPair &, const TagPair &) = default;
};

// The tag around caret (a position between characters, strictly after the
// tag's '<' and before its end) and its partner; nullopt when the caret is
// not inside an element tag or the tag has no partner.
std::optional<TagPair> MatchingTag(QStringView text, qsizetype caret);

// Whether name (any case) is a void element, which never has a closing tag.
bool IsVoidTagName(QStringView name);

} // namespace velmora
