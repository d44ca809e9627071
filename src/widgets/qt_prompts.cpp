#include "widgets/qt_prompts.h"

#include "widgets/folder_chooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace velmora {

namespace {

QWidget *parentWindow() {
    return QApplication::activeWindow();
}

QString boxTitle() {
    return QApplication::applicationDisplayName();
}

} // namespace

void QtPrompts::ShowInfo(const QString &message) {
    QMessageBox::information(parentWindow(), boxTitle(), message);
}

bool QtPrompts::AskYesNo(const QString &message) {
    return QMessageBox::question(parentWindow(), boxTitle(), message,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Answer QtPrompts::AskYesNoCancel(const QString &message) {
    const auto button =
        QMessageBox::question(parentWindow(), boxTitle(), message,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtPrompts::ShowError(const QString &message) {
    QMessageBox::critical(parentWindow(), boxTitle(), message);
}

void QtPrompts::Beep() {
    QApplication::beep();
}

QString QtFileDialogs::GetOpenFileName(const QString &caption, const QString &dir,
                                       const QString &filter) {
    return QFileDialog::getOpenFileName(parentWindow(), caption, dir, filter);
}

QStringList QtFileDialogs::GetOpenFileNames(const QString &caption, const QString &dir,
                                            const QString &filter) {
    return QFileDialog::getOpenFileNames(parentWindow(), caption, dir, filter);
}

QString QtFileDialogs::GetSaveFileName(const QString &caption, const QString &dir,
                                       const QString &filter) {
    return QFileDialog::getSaveFileName(parentWindow(), caption, dir, filter);
}

QString QtFileDialogs::GetExistingDirectory(const QString &caption, const QString &dir) {
    return FolderChooser::Choose(parentWindow(), caption, dir);
}

QString QtFileDialogs::GetSaveFileNameFiltered(const QString &caption, const QString &proposedPath,
                                               const QStringList &filters, int *filterIndex) {
    QString selected = filters.value(*filterIndex - 1);
    const QString path = QFileDialog::getSaveFileName(parentWindow(), caption, proposedPath,
                                                      filters.join(u";;"), &selected);
    if (!path.isEmpty() && filters.contains(selected))
        *filterIndex = int(filters.indexOf(selected)) + 1;
    return path;
}

} // namespace velmora
