#pragma once
// The progress window of runs over several files ("Velmora Progress"): the
// file being worked on, a bar, and a stop button. The button, Enter or Esc
// ask the run to stop; the run looks at StopRequested between files.

#include "foundation/progress_window.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora {

class TFormProgress final : public QWidget, public ProgressWindow {
    Q_OBJECT
public:
    // A window of its own, not a child: the window that starts a run is
    // disabled meanwhile, and the progress window must stay usable.
    TFormProgress();

    void InitProgBar(int n) override;
    void Show() override;
    void SetText(const QString &text) override;
    void Step() override;
    bool StopRequested() const override { return stopRequested_; }
    void Close() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // True for the keys that stop a run.
    static bool IsStopKey(const QKeyEvent *event);
    void RequestStop();

    QLabel *label1_ = nullptr;
    QProgressBar *progBar_ = nullptr;
    QPushButton *button1_ = nullptr;
    bool stopRequested_ = false;
    bool closingByRun_ = false;
};

} // namespace velmora
