#pragma once
// The search dialog TFormSearch ("Search Files"): what is searched for and
// where, and whether subfolders are searched and the results added to the
// current list. Made once and kept, so the two options last for the run.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace velmora {

class TFormSearch final : public QDialog {
    Q_OBJECT
public:
    explicit TFormSearch(QWidget *parent = nullptr);

    // FormShow: the label names the mask and the folder.
    void Prepare(const QString &mask, const QString &folder);
    bool IncludeSubfolders() const;
    bool AddToCurrentList() const;

    QLabel *Label1() const { return label1_; }
    QCheckBox *CBIncludeSub() const { return cbIncludeSub_; }
    QCheckBox *CBAdd() const { return cbAdd_; }
    QPushButton *BOK() const { return bOK_; }

private:
    QLabel *label1_;
    QCheckBox *cbIncludeSub_;
    QCheckBox *cbAdd_;
    QPushButton *bOK_;
};

} // namespace velmora
