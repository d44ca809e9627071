#pragma once
// The folder chooser of copy targets: the toolkit's folder dialog, in which
// the user may also type the name of a folder that does not exist yet; after
// a confirmation the folder is created and chosen.

#include <QFileDialog>

#include <functional>

namespace velmora {

class FolderChooser final : public QFileDialog {
    Q_OBJECT
public:
    // Asked with the question whether to create a typed folder; true for Yes.
    using Confirm = std::function<bool(const QString &question)>;

    FolderChooser(QWidget *parent, const QString &caption, const QString &dir,
                  Confirm confirm = {});

    // The chosen folder, or empty when the dialog was cancelled.
    static QString Choose(QWidget *parent, const QString &caption, const QString &dir);

    void accept() override;

private:
    Confirm confirm_;
};

} // namespace velmora
