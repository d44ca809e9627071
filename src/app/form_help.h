#pragma once
// The help window: the program's help pages in a page view of its own, which
// follows their links and frames. Not modal; every Show Help makes another,
// and each is freed when it is closed. Esc closes it. The browser settings
// do not apply here: the window keeps the view's own defaults.

#include <QWidget>

class QKeyEvent;

namespace velmora {

class PageView;
class Prompts;
class RenderProfile;

class TFormHelp final : public QWidget {
    Q_OBJECT
public:
    TFormHelp(RenderProfile &profile, QWidget *parent = nullptr);

    // Loads the help's index page. A missing or unreadable page is reported
    // ("Can't locate file: " + path) and the window stays empty.
    bool LoadIndex(const QString &indexPath, Prompts &prompts);
    PageView *FVHelp() const { return fvHelp_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    PageView *fvHelp_ = nullptr;
};

} // namespace velmora
