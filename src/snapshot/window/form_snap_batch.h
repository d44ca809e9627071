#pragma once
// The batch export dialog: the output folder (chosen, and created when it is
// new) and the file format. Start takes the folder as the snapshot folder.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace velmora {

class FileDialogs;
class Prompts;
struct TSnapShotParams;

class TFormSnapBatch final : public QDialog {
    Q_OBJECT
public:
    // params receives the format, snapshotPath the folder on Start.
    TFormSnapBatch(Prompts &prompts, FileDialogs &dialogs, TSnapShotParams &params,
                   QString &snapshotPath, QWidget *parent);

    // The folder choice of the "..." button.
    void BEditor1Click();
    QLineEdit *ELoc1() const { return eLoc1_; }
    QComboBox *FilterComboBox1() const { return filterComboBox1_; }
    QPushButton *BOK() const { return bOk_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FilterComboBox1Change();
    void UpdateStart();
    void BOKClick();

    Prompts &prompts_;
    FileDialogs &dialogs_;
    TSnapShotParams &params_;
    QString &snapshotPath_;
    QLineEdit *eLoc1_ = nullptr;
    QPushButton *bEditor1_ = nullptr;
    QComboBox *filterComboBox1_ = nullptr;
    QPushButton *bOk_ = nullptr;
};

} // namespace velmora
