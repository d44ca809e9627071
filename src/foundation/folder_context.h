#pragma once
// Where the user is: the folder on show, the filter's mask its files are
// listed with, and the tab in front. The main window keeps it up to date;
// whatever works on "the current folder" (the File Lists tab's search, the
// site-wide windows) reads it here and hears of changes through its signals
// instead of asking the window.

#include <QObject>
#include <QString>

namespace velmora {

class FolderContext final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The folder on show, with its trailing '/'; empty before the first.
    QString Folder() const { return folder_; }
    // The filter's mask, e.g. "*.htm;*.html"; empty until a filter is chosen.
    QString Mask() const { return mask_; }
    // The tab in front: 0 Folder View, 1 Thumbnail View, 2 File Lists.
    int ActiveTab() const { return activeTab_; }

    // Each setter emits its signal only when the value really changes, so
    // listeners may do real work in them.
    void SetFolder(const QString &folder);
    void SetMask(const QString &mask);
    void SetActiveTab(int tab);
    // The active tab's view reported a new selection or caret.
    void ReportSelectionChanged();

signals:
    void folderChanged(const QString &folder);
    void maskChanged(const QString &mask);
    void activeTabChanged(int tab);
    void selectionChanged();

private:
    QString folder_;
    QString mask_;
    int activeTab_ = 0;
};

} // namespace velmora
