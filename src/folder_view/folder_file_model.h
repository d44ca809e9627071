#pragma once
// The rows of the Folder View's file list: one per file path, shown by its
// file name. File icons are asked of an icon provider only for the rows a
// view paints, and once per file type (the extension without regard to
// letter case), so a folder of thousands of pages costs one icon.

#include <QAbstractFileIconProvider>
#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <memory>

namespace velmora {

class FolderFileModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // The path of a row, for PathRole.
    static constexpr int PathRole = Qt::UserRole;

    explicit FolderFileModel(std::unique_ptr<QAbstractFileIconProvider> icons,
                             QObject *parent = nullptr);
    ~FolderFileModel() override;

    // Replaces every row (a model reset: selection and caret are gone).
    void SetPaths(const QStringList &paths);
    const QStringList &Paths() const { return paths_; }
    QString PathAt(int row) const;
    QString NameAt(int row) const;

    // Switches the icons of every row on or off.
    void SetShowIcons(bool show);
    bool ShowIcons() const { return showIcons_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QIcon IconOf(const QString &path) const;

    QStringList paths_;
    std::unique_ptr<QAbstractFileIconProvider> icons_;
    bool showIcons_ = false;
    mutable QHash<QString, QIcon> iconsByType_;
};

} // namespace velmora
