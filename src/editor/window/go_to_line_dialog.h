#pragma once
// "Go to Line": asks for a line number from 1 to the text's line count.

#include <QDialog>

class QSpinBox;

namespace velmora {

class GoToLineDialog final : public QDialog {
    Q_OBJECT
public:
    // Offers 1 to lineCount (at least 1), starting at current.
    GoToLineDialog(int lineCount, int current, QWidget *parent = nullptr);

    int Line() const;
    QSpinBox *LineBox() const { return line_; }

private:
    QSpinBox *line_ = nullptr;
};

} // namespace velmora
