#pragma once
// A progress window that shows nothing and records what a run told it, for
// the tests of the runs that report through one (Make Thumbs, Update Changed
// Thumbnails, the batch export). Its stop button is "pressed" once it has
// shown a given number of texts.

#include "foundation/progress_window.h"

#include <QStringList>

#include <optional>

namespace velmora::testing {

struct ProgressLog {
    int made = 0; // progress windows made
    int barMaximum = -1;
    int steps = 0;
    bool shown = false;
    bool closed = false;
    QStringList texts;
    std::optional<int> stopAtText;
};

class RecordingProgress final : public ProgressWindow {
public:
    explicit RecordingProgress(ProgressLog &log) : log_(log) { ++log_.made; }
    void InitProgBar(int n) override { log_.barMaximum = n; }
    void Show() override {
        log_.shown = true;
        stop_ = false;
    }
    void SetText(const QString &text) override {
        log_.texts << text;
        if (log_.stopAtText && int(log_.texts.size()) == *log_.stopAtText)
            stop_ = true;
    }
    void Step() override { ++log_.steps; }
    bool StopRequested() const override { return stop_; }
    void Close() override { log_.closed = true; }

private:
    ProgressLog &log_;
    bool stop_ = false;
};

} // namespace velmora::testing
