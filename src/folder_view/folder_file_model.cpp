#include "folder_view/folder_file_model.h"

#include <QFileInfo>

namespace velmora {

namespace {

// What the icon of a file depends on, as far as the list is concerned: its
// extension, without regard to letter case. Names without one share a type.
QString FileTypeOf(const QString &path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > slash + 1 ? path.mid(dot + 1).toLower() : QString();
}

} // namespace

FolderFileModel::FolderFileModel(std::unique_ptr<QAbstractFileIconProvider> icons, QObject *parent)
    : QAbstractListModel(parent), icons_(std::move(icons)) {}

FolderFileModel::~FolderFileModel() = default;

void FolderFileModel::SetPaths(const QStringList &paths) {
    beginResetModel();
    paths_ = paths;
    endResetModel();
}

QString FolderFileModel::PathAt(int row) const {
    return row >= 0 && row < paths_.size() ? paths_[row] : QString();
}

QString FolderFileModel::NameAt(int row) const {
    const QString path = PathAt(row);
    return path.mid(path.lastIndexOf(u'/') + 1);
}

void FolderFileModel::SetShowIcons(bool show) {
    if (show == showIcons_)
        return;
    showIcons_ = show;
    if (!paths_.isEmpty())
        emit dataChanged(index(0), index(int(paths_.size()) - 1), {Qt::DecorationRole});
}

int FolderFileModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(paths_.size());
}

QVariant FolderFileModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QString &path = paths_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return path.mid(path.lastIndexOf(u'/') + 1);
    case Qt::DecorationRole:
        if (showIcons_ && icons_)
            return IconOf(path);
        return {};
    case PathRole:
        return path;
    default:
        return {};
    }
}

QIcon FolderFileModel::IconOf(const QString &path) const {
    const QString type = FileTypeOf(path);
    auto found = iconsByType_.constFind(type);
    if (found == iconsByType_.constEnd())
        found = iconsByType_.insert(type, icons_->icon(QFileInfo(path)));
    return *found;
}

} // namespace velmora
