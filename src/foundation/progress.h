#pragma once
// The main window's thin progress bar, as long file operations drive it.

namespace velmora {

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
};

// Unless skip is set: range 0 to maximum, step 1.
void ProgressInit(ProgressBar &bar, bool skip, int maximum);
// Unless skip is set: position := value.
void ProgressSet(ProgressBar &bar, bool skip, int value);
// An n-item operation advances the bar once every ProgressStride(n) items.
inline int ProgressStride(int n) {
    return (n + 1) / 10 + 1;
}

} // namespace velmora
