#include "sitesearch/window/replace_preview_dialog.h"

#include "foundation/file_utils.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

constexpr int kTargetRole = Qt::UserRole + 1;

QTreeWidgetItem *FileRow(const PreviewedFile &file, const QString &folder, int index) {
    auto *row = new QTreeWidgetItem;
    const QString root = WithBackslash(folder);
    const QString shown =
        file.target.path.startsWith(root) ? file.target.path.mid(root.size()) : file.target.path;
    row->setToolTip(0, file.target.path);
    const QString count =
        file.count == 1 ? u"1 occurrence"_s : QString::number(file.count) + u" occurrences"_s;
    if (file.problem.isEmpty()) {
        row->setText(0, shown + u"  ("_s + count + u')');
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Checked);
    } else {
        row->setText(0, shown + u"  (not changed: "_s + file.problem + u')');
        row->setFlags(Qt::ItemIsSelectable);
    }
    row->setData(0, kTargetRole, index);
    for (const ChangedLine &change : file.changes) {
        auto *line = new QTreeWidgetItem(row);
        line->setText(0, u"Line "_s + QString::number(change.line));
        line->setText(1, change.before);
        line->setText(2, change.after);
        // A long line is cut off at the column's edge: the whole of it on hover.
        line->setToolTip(1, change.before);
        line->setToolTip(2, change.after);
        line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    if (file.changesLeftOut > 0) {
        auto *more = new QTreeWidgetItem(row);
        more->setText(0, u"and "_s + QString::number(file.changesLeftOut) + u" more lines"_s);
        more->setFlags(Qt::ItemIsEnabled);
    }
    return row;
}

} // namespace

ReplacePreviewDialog::ReplacePreviewDialog(const std::vector<PreviewedFile> &files,
                                           const QString &folder, QWidget *parent)
    : QDialog(parent) {
    setObjectName(u"ReplaceInFiles"_s);
    setWindowTitle(u"Replace in Files"_s);
    setAccessibleName(u"Replace in Files"_s);
    auto *layout = new QVBoxLayout(this);

    qint64 occurrences = 0;
    int changeable = 0;
    for (const PreviewedFile &file : files) {
        if (file.problem.isEmpty()) {
            occurrences += file.count;
            ++changeable;
        }
    }
    auto *summary = new QLabel(u"%1 occurrences in %2 files will be replaced. Uncheck the files "
                               u"that should stay as they are."_s.arg(occurrences)
                                   .arg(changeable),
                               this);
    // Its text is its accessible name; the description says what it is.
    summary->setAccessibleDescription(u"Replace in Files summary"_s);
    layout->addWidget(summary);

    files_ = new QTreeWidget(this);
    files_->setObjectName(u"ReplaceFiles"_s);
    files_->setAccessibleName(u"Files to change"_s);
    files_->setHeaderLabels({u"File / line"_s, u"Before"_s, u"After"_s});
    files_->setUniformRowHeights(true);
    files_->setRootIsDecorated(true);
    QList<QTreeWidgetItem *> rows;
    for (size_t k = 0; k < files.size(); ++k) {
        targets_.push_back(files[k].target);
        rows.append(FileRow(files[k], folder, int(k)));
    }
    files_->addTopLevelItems(rows);
    files_->expandAll();
    files_->header()->setSectionResizeMode(QHeaderView::Interactive);
    files_->setColumnWidth(0, 320);
    files_->setColumnWidth(1, 260);
    layout->addWidget(files_, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *apply = buttons->addButton(u"Apply"_s, QDialogButtonBox::AcceptRole);
    apply->setAccessibleName(u"Apply"_s);
    apply->setEnabled(changeable > 0);
    QPushButton *cancel = buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    cancel->setAccessibleName(u"Cancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 520);
}

std::vector<ReplaceTarget> ReplacePreviewDialog::Chosen() const {
    std::vector<ReplaceTarget> chosen;
    for (int i = 0; i < files_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = files_->topLevelItem(i);
        if ((row->flags() & Qt::ItemIsUserCheckable) && row->checkState(0) == Qt::Checked)
            chosen.push_back(targets_[size_t(row->data(0, kTargetRole).toInt())]);
    }
    return chosen;
}

} // namespace velmora
