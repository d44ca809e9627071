#pragma once
// An edit with up and down buttons beside it: the buttons (and the arrow
// keys in the edit) step the number in the edit within a range, while the
// edit can still be typed into freely unless it is read-only; what was typed
// is checked by whoever reads it.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace velmora {

class UpDownEdit final : public QWidget {
    Q_OBJECT
public:
    // name is the accessible name of the edit ("Width"); the buttons are
    // named after it ("Width up", "Width down").
    UpDownEdit(const QString &name, int minimum, int maximum, int step, int maxLength,
               QWidget *parent = nullptr);

    QLineEdit *Edit() const { return edit_; }
    // Writes value into the edit as it is, without clamping it to the range.
    void SetPosition(int value);
    void SetReadOnly(bool readOnly);
    void SetEditEnabled(bool enabled);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void StepBy(int steps);

    QLineEdit *edit_ = nullptr;
    QToolButton *up_ = nullptr;
    QToolButton *down_ = nullptr;
    int minimum_, maximum_, step_;
};

} // namespace velmora
