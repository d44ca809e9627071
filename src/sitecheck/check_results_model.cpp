#include "sitecheck/check_results_model.h"

using namespace Qt::StringLiterals;

namespace velmora {

int CheckResultsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(problems_.size());
}

int CheckResultsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CheckResultsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= problems_.size())
        return {};
    const LinkProblem &problem = problems_[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() == LineColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case PageColumn:
        return problem.page;
    case LineColumn:
        return problem.line; // a number, so that 10 sorts after 9
    case LinkColumn:
        return problem.link;
    case ProblemColumn:
        return problem.problem;
    default:
        return {};
    }
}

QVariant CheckResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList kHeaders{u"Page"_s, u"Line"_s, u"Link"_s, u"Problem"_s};
    return section >= 0 && section < kHeaders.size() ? QVariant(kHeaders[section]) : QVariant();
}

void CheckResultsModel::Append(const QList<LinkProblem> &problems) {
    if (problems.isEmpty())
        return;
    const int first = int(problems_.size());
    beginInsertRows({}, first, first + int(problems.size()) - 1);
    problems_.append(problems);
    endInsertRows();
}

void CheckResultsModel::Clear() {
    beginResetModel();
    problems_.clear();
    endResetModel();
}

} // namespace velmora
