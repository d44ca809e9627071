#pragma once
// A caption bar above an area of the window: white bold text on gray, teal
// while its area holds the keyboard focus.

#include <QLabel>

namespace velmora {

class CaptionPanel final : public QLabel {
    Q_OBJECT
public:
    explicit CaptionPanel(const QString &text, QWidget *parent = nullptr);
    void SetActive(bool active);
    bool IsActive() const { return active_; }

private:
    bool active_ = true;
};

} // namespace velmora
