#pragma once
// The status of the main window: the hint line over the views (the current
// file, the welcome text, hints of the views), the captions of the tabs with
// the active view's selection count, and the Extras menu, which needs a
// selection.

#include <QString>
#include <QStringList>

class QLabel;
class QMenu;
class QTabWidget;
class QWidget;

namespace velmora {

class ViewSelection;

class StatusLine {
public:
    // tabNames are the captions of the tabs without a count.
    StatusLine(const ViewSelection &selection, QStringList tabNames);

    // The hint line, made once while the window is built.
    QLabel *BuildHintLine(QWidget *parent);
    // The tabs and the menu the status shows in, once they exist.
    void Attach(QTabWidget *pages, QMenu *extras);
    // From the first activation on the status follows the views; while
    // starting up they are still being filled.
    void Start() { started_ = true; }

    // Recounts the active view's selection; refreshes tab captions, the hint
    // line and the Extras menu.
    void Update();
    // True when the active view differs from what the status last showed.
    // A report that changes none of it (the caret a list puts on its first
    // row when it gets the focus) leaves the hint line as it is, welcome
    // text included.
    bool Outdated() const;

    QString HintText() const;
    void SetHint(const QString &text);
    void ShowWelcome();

private:
    struct Shown {
        int page = -1, selected = -1, count = -1;
        QString current;
        bool operator==(const Shown &) const = default;
    };
    Shown Now() const;

    const ViewSelection &selection_;
    const QStringList tabNames_;
    QLabel *hint_ = nullptr;
    QTabWidget *pages_ = nullptr;
    QMenu *extras_ = nullptr;
    Shown shown_;
    bool started_ = false;
};

} // namespace velmora
