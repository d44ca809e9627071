#pragma once
// The progress of page loads and list operations shown in a plain progress
// bar. The bar may come later than the parts that report to it; until then
// their reports go nowhere.

#include "foundation/progress.h"

#include <QPointer>
#include <QProgressBar>

namespace velmora {

class BarProgress final : public ProgressBar {
public:
    void SetBar(QProgressBar *bar) { bar_ = bar; }

    void SetRange(int minimum, int maximum) override {
        if (bar_)
            bar_->setRange(minimum, maximum);
    }
    void SetPosition(int position) override {
        if (bar_)
            bar_->setValue(position);
    }

private:
    QPointer<QProgressBar> bar_;
};

} // namespace velmora
