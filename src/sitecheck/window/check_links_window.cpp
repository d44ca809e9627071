#include "sitecheck/window/check_links_window.h"

#include "foundation/atomic_file.h"
#include "foundation/file_utils.h"
#include "foundation/prompts.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

QString CheckStatusText(const SiteCheckSummary &summary, double seconds) {
    return u"%1 problems in %2 pages (%3 links checked, %4 s)"_s.arg(summary.problems)
        .arg(summary.pages)
        .arg(summary.links)
        .arg(seconds, 0, 'f', 1);
}

CheckLinksWindow::CheckLinksWindow(const CheckLinksServices &services, QWidget *parent)
    : QDialog(parent), prompts_(services.prompts), dialogs_(services.dialogs),
      allowedExtensions_(services.allowedExtensions), thumbDir_(services.thumbDir) {
    setObjectName(u"CheckLinks"_s);
    setWindowTitle(u"Check Links"_s);
    setAccessibleName(u"Check Links"_s);
    sorted_.setSourceModel(&results_);
    sorted_.setSortRole(Qt::DisplayRole);
    BuildLayout();
    connect(&worker_, &CheckWorker::ProblemsFound, this, &CheckLinksWindow::OnProblems);
    connect(&worker_, &CheckWorker::Progress, this, &CheckLinksWindow::OnProgress);
    connect(&worker_, &CheckWorker::Finished, this, &CheckLinksWindow::OnFinished);
    UpdateButtons();
    resize(760, 480);
}

CheckLinksWindow::~CheckLinksWindow() = default;

void CheckLinksWindow::BuildLayout() {
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    folder_ = new QLineEdit(this);
    folder_->setObjectName(u"CheckFolder"_s);
    folder_->setAccessibleName(u"Folder"_s);
    chooseFolder_ = new QToolButton(this);
    chooseFolder_->setText(u"..."_s);
    chooseFolder_->setAccessibleName(u"Choose folder"_s);
    chooseFolder_->setToolTip(u"Choose the folder to check"_s);
    connect(chooseFolder_, &QToolButton::clicked, this, &CheckLinksWindow::ChooseFolder);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_);
    folderRow->addWidget(chooseFolder_);
    auto *folderLabel = new QLabel(u"&Folder:"_s, this);
    folderLabel->setBuddy(folder_);
    form->addRow(folderLabel, folderRow);

    startPage_ = new QLineEdit(this);
    startPage_->setObjectName(u"CheckStartPage"_s);
    startPage_->setAccessibleName(u"Start page"_s);
    startPage_->setPlaceholderText(u"optional: list the pages no link from it reaches"_s);
    auto *startLabel = new QLabel(u"&Start page:"_s, this);
    startLabel->setBuddy(startPage_);
    form->addRow(startLabel, startPage_);

    auto *boxes = new QHBoxLayout;
    const auto addBox = [&](const QString &caption, bool on) {
        auto *box = new QCheckBox(caption, this);
        box->setAccessibleName(QString(caption).remove(u'&'));
        box->setChecked(on);
        boxes->addWidget(box);
        return box;
    };
    subfolders_ = addBox(u"Include &subfolders"_s, true);
    anchors_ = addBox(u"Check &anchors"_s, true);
    external_ = addBox(u"List &external links"_s, false);
    boxes->addStretch();
    layout->addLayout(boxes);

    auto *buttons = new QHBoxLayout;
    const auto addButton = [&](const QString &caption, auto slot) {
        auto *button = new QPushButton(caption, this);
        button->setAccessibleName(QString(caption).remove(u'&'));
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
        return button;
    };
    check_ = addButton(u"&Check"_s, &CheckLinksWindow::StartCheck);
    check_->setDefault(true);
    stop_ = addButton(u"S&top"_s, &CheckLinksWindow::StopCheck);
    save_ = addButton(u"Save &Report..."_s, &CheckLinksWindow::SaveReport);
    buttons->addStretch();
    close_ = addButton(u"Close"_s, &QDialog::reject);
    layout->addLayout(buttons);

    report_ = new QTreeView(this);
    report_->setObjectName(u"CheckLinksResults"_s);
    report_->setAccessibleName(u"Check Links results"_s);
    report_->setModel(&sorted_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->setSortingEnabled(true);
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setSortIndicator(-1, Qt::AscendingOrder); // the order found
    report_->setColumnWidth(CheckResultsModel::PageColumn, 220);
    report_->setColumnWidth(CheckResultsModel::LineColumn, 50);
    report_->setColumnWidth(CheckResultsModel::LinkColumn, 240);
    connect(report_, &QTreeView::doubleClicked, this, &CheckLinksWindow::OpenRow);
    // Enter opens the current row as a double click does.
    report_->installEventFilter(this);
    layout->addWidget(report_, 1);

    status_ = new QLabel(this);
    status_->setObjectName(u"CheckLinksStatus"_s);
    // A label is named by its text; the description tells it from the others.
    status_->setAccessibleDescription(u"Check Links status"_s);
    layout->addWidget(status_);
}

bool CheckLinksWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == report_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenRow(report_->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CheckLinksWindow::SetFolder(const QString &folder) {
    if (!Checking())
        folder_->setText(folder);
}

void CheckLinksWindow::ChooseFolder() {
    const QString chosen = dialogs_.GetExistingDirectory(u"Folder to check"_s, folder_->text());
    if (!chosen.isEmpty())
        folder_->setText(chosen);
}

QString CheckLinksWindow::CheckedFolder() const {
    return QDir(folder_->text().trimmed()).absolutePath();
}

void CheckLinksWindow::StartCheck() {
    if (Checking() || folder_->text().trimmed().isEmpty())
        return;
    SiteCheckOptions options;
    options.folder = CheckedFolder();
    options.subfolders = subfolders_->isChecked();
    options.anchors = anchors_->isChecked();
    options.external = external_->isChecked();
    options.startPage = startPage_->text().trimmed();
    options.allowedExtensions = allowedExtensions_;
    options.thumbDir = thumbDir_;
    if (const QString reason = SiteCheck(options).CheckOptions(); !reason.isEmpty()) {
        prompts_.ShowError(u"Cannot check the links: %1."_s.arg(reason));
        return;
    }
    checkedFolder_ = WithBackslash(options.folder);
    results_.Clear();
    report_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    sorted_.sort(-1);
    status_->setText(u"Checking..."_s);
    worker_.Start(options);
    UpdateButtons();
}

void CheckLinksWindow::StopCheck() {
    worker_.Stop();
}

void CheckLinksWindow::OnProblems(const QList<LinkProblem> &problems) {
    results_.Append(problems);
}

void CheckLinksWindow::OnProgress(int done, int total) {
    status_->setText(
        u"Checking... %1 problems, page %2 of %3"_s.arg(results_.rowCount()).arg(done).arg(total));
}

void CheckLinksWindow::OnFinished(const SiteCheckSummary &summary, double seconds) {
    QString text = CheckStatusText(summary, seconds);
    if (summary.stopped)
        text += u" - stopped"_s;
    status_->setText(text);
    UpdateButtons();
    emit CheckFinished();
}

QString CheckLinksWindow::StatusText() const {
    return status_->text();
}

void CheckLinksWindow::UpdateButtons() {
    const bool checking = Checking();
    check_->setEnabled(!checking);
    stop_->setEnabled(checking);
    save_->setEnabled(!checking && results_.rowCount() > 0);
}

void CheckLinksWindow::OpenRow(const QModelIndex &index) {
    if (!index.isValid())
        return;
    const LinkProblem &problem = results_.Problem(sorted_.mapToSource(index).row());
    emit OpenPageRequested(checkedFolder_ + problem.page, problem.line);
}

// The rows in the order on show.
void CheckLinksWindow::SaveReport() {
    if (results_.rowCount() == 0)
        return;
    const QString path = dialogs_.GetSaveFileName(u"Save Report"_s, checkedFolder_ + u"links.csv"_s,
                                                  u"CSV files (*.csv);;All files (*)"_s);
    if (path.isEmpty())
        return;
    QList<LinkProblem> rows;
    rows.reserve(sorted_.rowCount());
    for (int row = 0; row < sorted_.rowCount(); ++row)
        rows.append(results_.Problem(sorted_.mapToSource(sorted_.index(row, 0)).row()));
    QString error;
    if (!WriteFileAtomically(path, ProblemsCsv(rows), &error))
        prompts_.ShowError(u"Cannot write %1: %2"_s.arg(path, error));
}

// Closing (Close, Esc, the title bar) stops a running check; the rows stay
// for the next time the window is shown.
void CheckLinksWindow::hideEvent(QHideEvent *event) {
    worker_.Stop();
    QDialog::hideEvent(event);
}

} // namespace velmora
