#pragma once
// The rows of a link check's report: Page, Line, Link, Problem. Rows arrive
// in batches while the check runs; sorting is left to a proxy, so the Line
// column gives numbers for it to compare.

#include "sitecheck/site_check.h"

#include <QAbstractTableModel>
#include <QList>

namespace velmora {

class CheckResultsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PageColumn = 0, LineColumn, LinkColumn, ProblemColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void Append(const QList<LinkProblem> &problems);
    void Clear();
    const LinkProblem &Problem(int row) const { return problems_[row]; }
    const QList<LinkProblem> &Problems() const { return problems_; }

private:
    QList<LinkProblem> problems_;
};

} // namespace velmora
