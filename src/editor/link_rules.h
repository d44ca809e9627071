#pragma once
// Which link clicks the internal browser follows: only links to files that
// exist on the disk, relative to the page shown. A link within the page (only
// a fragment) is left to the view; anything else is refused with a beep.

#include <QString>

namespace velmora {

struct LinkDecision {
    enum Kind { LeaveToView, Follow, Refuse };
    Kind kind = LeaveToView;
    QString localName; // the file the link names, fragment dropped (empty for LeaveToView)
};

// url is the link's address as the page gives it (relative, or already made
// absolute by the view); shownFile is the page whose folder relative
// addresses start from.
LinkDecision DecideLinkClick(const QString &shownFile, const QString &url);

} // namespace velmora
