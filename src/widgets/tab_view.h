#pragma once
// What the main window needs from the view on each of its three tabs: the
// widget, the entry and selection counts, the current file, the path of each
// entry, and signals when the caret or the selection changes or the user
// asks to open the current file. The Folder View, the Thumbnail View and the
// File Lists implement it; tests use doubles or the placeholder list the main
// window puts in an empty slot.
//
// A view is a QObject itself rather than owning one for its signals: the
// view is the sender, so every connection to it ends when the view goes,
// and nobody has to clear stored callbacks before taking a window down.

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace velmora {

class TabView : public QObject {
    Q_OBJECT
public:
    ~TabView() override = default;
    virtual QWidget *Widget() = 0;
    virtual int Count() const = 0;
    virtual int SelectedCount() const = 0;
    // The single current file (focused entry), empty when there is none.
    virtual QString CurrentFile() const = 0;
    virtual QStringList SelectedFiles() const = 0;
    // The path of entry i; with selectedOnly set, only when that entry is
    // selected. Empty when there is no entry i.
    virtual QString ViewFile(int i, bool selectedOnly) const = 0;
    // Focuses and selects the first entry when nothing is selected.
    virtual void SelectFirstIfNone() {}
    // The files of the folder shown in the folder view, in its order; the
    // folder and thumbnail views show them, the file list keeps its own.
    virtual void ShowFolderFiles(const QStringList &paths) { (void)paths; }
    // The same folder's files listed again after a change on disk: entries
    // still there keep their selection and the caret; the caret of a removed
    // entry goes to the entry now in its place.
    virtual void RefreshFolderFiles(const QStringList &paths) { ShowFolderFiles(paths); }
    // Puts the caret on path when it is one of the entries.
    virtual void FocusFile(const QString &path) { (void)path; }
    // Puts the caret on entry i, without selecting it.
    virtual void FocusEntry(int i) { (void)i; }
    // Draws entry i again (its thumbnail was made or cleared).
    virtual void RefreshEntry(int i) { (void)i; }
    // Selects path alone, with the caret on it, when it is one of the entries.
    virtual void SelectFile(const QString &path) { (void)path; }
    // Shows or hides the file icons of the views that have them.
    virtual void SetShowIcons(bool show) { (void)show; }

signals:
    // The user moved the caret to another entry; comes before the
    // selectionChanged that follows it.
    void currentFileChanged();
    // After every change of the selection or the caret.
    void selectionChanged();
    // The entry counts or the current file may read differently although no
    // selection changed (entries taken out of a list, a list loaded): the
    // status line is to be recounted.
    void statusChanged();
    // The user asked to open the current file (double click, Enter).
    void openRequested();
};

} // namespace velmora
