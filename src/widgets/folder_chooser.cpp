#include "widgets/folder_chooser.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

bool AskInBox(QWidget *parent, const QString &question) {
    return QMessageBox::question(parent, QApplication::applicationDisplayName(), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

FolderChooser::FolderChooser(QWidget *parent, const QString &caption, const QString &dir,
                             Confirm confirm)
    : QFileDialog(parent, caption, dir), confirm_(std::move(confirm)) {
    setFileMode(QFileDialog::Directory);
    // The platform's own dialog would bypass accept(), which creates the
    // typed folder.
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!confirm_)
        confirm_ = [this](const QString &question) { return AskInBox(this, question); };
}

QString FolderChooser::Choose(QWidget *parent, const QString &caption, const QString &dir) {
    FolderChooser chooser(parent, caption, dir);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().constFirst();
}

void FolderChooser::accept() {
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty())
        return;
    const QString folder = chosen.constFirst();
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink()) {
        if (!confirm_(u"The folder"_s + u'\n' + folder + u'\n' + u"does not exist. Create it?"_s))
            return;
        if (!QDir().mkpath(folder)) {
            QMessageBox::critical(this, QApplication::applicationDisplayName(),
                                  u"Could not create the folder"_s + u'\n' + folder);
            return;
        }
    }
    QFileDialog::accept();
}

} // namespace velmora
