#pragma once
// The save dialog TFormAskFName ("Save File List (*.lst)"): the message of
// the step that asks, the list file's name, which entries to save, and the
// button that shows the verification report. Save keeps the dialog open
// while the typed name is refused.

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace velmora {

class Prompts;
enum class CopyMode;

class TFormAskFName final : public QDialog {
    Q_OBJECT
public:
    TFormAskFName(Prompts &prompts, QString listDir, QWidget *parent = nullptr);

    // FormShow: the message, "Save all entries", and the proposed name.
    void Prepare(const QString &message, const QString &proposedName);
    void SetShowButtonVisible(bool visible);

    CopyMode SaveMode() const;
    // The full path of the accepted name; empty until Save accepted one.
    QString ChosenListFile() const { return chosenListFile_; }

    QTextEdit *Memo1() const { return memo1_; }
    QLineEdit *EFname() const { return eFname_; }
    QRadioButton *RBAll() const { return rbAll_; }
    QRadioButton *RBSel() const { return rbSel_; }
    QRadioButton *RBUnSel() const { return rbUnSel_; }
    QPushButton *BOK() const { return bOK_; }
    QPushButton *BShow() const { return bShow_; }

    // BOKClick: a refused name leaves the dialog open after the message.
    void BOKClick();

signals:
    void ShowReportRequested();

private:
    Prompts &prompts_;
    QString listDir_;
    QString chosenListFile_;
    QTextEdit *memo1_;
    QLineEdit *eFname_;
    QRadioButton *rbAll_;
    QRadioButton *rbSel_;
    QRadioButton *rbUnSel_;
    QPushButton *bOK_;
    QPushButton *bShow_;
};

} // namespace velmora
