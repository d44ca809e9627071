#pragma once
// Simple list views for the tabs whose real views come later: a multi-select
// list of file names that reports its selection like the real views will.

#include "app/tab_view.h"

#include <QListWidget>
#include <QPointer>

namespace velmora {

class PlaceholderListView final : public TabView {
public:
    explicit PlaceholderListView(QListView::ViewMode mode = QListView::ListMode);
    ~PlaceholderListView() override;

    QWidget *Widget() override { return list_; }
    int Count() const override;
    int SelectedCount() const override;
    QString CurrentFile() const override;
    QStringList SelectedFiles() const override;
    QString ViewFile(int i, bool selectedOnly) const override;
    void SelectFirstIfNone() override;
    void ShowFolderFiles(const QStringList &paths) override;
    void FocusFile(const QString &path) override;
    void SelectFile(const QString &path) override;

private:
    int RowOf(const QString &path) const;

    QPointer<QListWidget> list_;
};

} // namespace velmora
