#pragma once
// The report window TFormReport ("Verification Report"): the lines of a
// verification in a fixed-pitch read-only text, closed by Close, or by Enter
// or Esc when the key is released.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace velmora {

class TFormReport final : public QDialog {
    Q_OBJECT
public:
    explicit TFormReport(const QStringList &lines, QWidget *parent = nullptr);

    QPlainTextEdit *Memo1() const { return memo1_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QPlainTextEdit *memo1_;
};

} // namespace velmora
