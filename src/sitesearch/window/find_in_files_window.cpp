#include "sitesearch/window/find_in_files_window.h"

#include "foundation/file_utils.h"
#include "foundation/prompts.h"
#include "foundation/settings.h"
#include "sitesearch/window/match_delegate.h"
#include "sitesearch/window/replace_preview_dialog.h"
#include "widgets/wait_cursor.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kLineRole = Qt::UserRole + 2;
constexpr int kColumnRole = Qt::UserRole + 3;
constexpr int kLengthRole = Qt::UserRole + 4;

// The most changed lines the preview describes for one page.
constexpr int kPreviewLinesPerFile = 50;

QString DefaultMasks() {
    return u"*.htm"_s;
}

// Pages are listed by their path below the folder searched.
QString ShownPath(const QString &path, const QString &folder) {
    const QString root = WithBackslash(folder);
    return path.startsWith(root) ? path.mid(root.size()) : path;
}

QLineEdit *NamedEdit(const QString &name, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(name);
    return edit;
}

QCheckBox *NamedCheck(const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    box->setAccessibleName(QString(caption).remove(u'&'));
    return box;
}

QPushButton *NamedButton(const QString &caption, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setAccessibleName(QString(caption).remove(u'&'));
    return button;
}

QTreeWidgetItem *MatchRow(const QString &path, const LineMatch &match) {
    auto *row = new QTreeWidgetItem;
    const QString number = QString::number(match.line);
    QString shown = match.shownLine;
    shown.replace(u'\t', u' ');
    row->setText(0, number + u": "_s + shown);
    row->setData(0, kBoldStartRole, qlonglong(number.size() + 2 + match.shownStart));
    row->setData(0, kBoldLengthRole, qlonglong(match.shownLength));
    row->setData(0, kPathRole, path);
    row->setData(0, kLineRole, match.line);
    row->setData(0, kColumnRole, qlonglong(match.column));
    row->setData(0, kLengthRole, qlonglong(match.editorLength));
    return row;
}

} // namespace

FindInFilesWindow::FindInFilesWindow(const FindInFilesServices &services, QWidget *parent)
    : QWidget(parent, Qt::Window), prompts_(services.prompts), dialogs_(services.dialogs),
      settings_(services.settings), editor_(services.editor), runDialog_(services.runDialog) {
    setObjectName(u"FindInFiles"_s);
    setWindowTitle(u"Find in Files"_s);
    setAccessibleName(u"Find in Files"_s);
    Build();
    connect(&search_, &SiteSearch::fileMatched, this, &FindInFilesWindow::AddFile);
    connect(&search_, &SiteSearch::finished, this, &FindInFilesWindow::Finished);
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(100);
    connect(statusTimer_, &QTimer::timeout, this, &FindInFilesWindow::ShowStatus);
    findEdit_->setText(settings_.LastSearch);
    replaceEdit_->setText(settings_.LastReplace);
    masksEdit_->setText(DefaultMasks());
    resize(760, 560);
}

FindInFilesWindow::~FindInFilesWindow() = default;

void FindInFilesWindow::Build() {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildFields());
    layout->addWidget(BuildOptions());
    layout->addWidget(BuildButtons());
    results_ = new QTreeWidget(this);
    results_->setObjectName(u"FindInFilesResults"_s);
    results_->setAccessibleName(u"Find in Files results"_s);
    results_->setHeaderHidden(true);
    results_->setUniformRowHeights(true);
    results_->setItemDelegate(new MatchDelegate(results_));
    results_->setExpandsOnDoubleClick(false);
    connect(results_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { ActivateItem(item); });
    layout->addWidget(results_, 1);
    status_ = new QLabel(this);
    status_->setObjectName(u"FindInFilesStatus"_s);
    // A label's accessible name is its text, which screen readers read; the
    // description tells what the line is.
    status_->setAccessibleDescription(u"Find in Files status"_s);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);
}

QWidget *FindInFilesWindow::BuildFields() {
    auto *box = new QWidget(this);
    auto *form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    findEdit_ = NamedEdit(u"Find what"_s, box);
    replaceEdit_ = NamedEdit(u"Replace with"_s, box);
    folderEdit_ = NamedEdit(u"Folder"_s, box);
    masksEdit_ = NamedEdit(u"File masks"_s, box);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit_, 1);
    auto *choose = NamedButton(u"..."_s, box);
    choose->setAccessibleName(u"Choose folder"_s);
    choose->setToolTip(u"Choose the folder to search"_s);
    connect(choose, &QPushButton::clicked, this, &FindInFilesWindow::ChooseFolder);
    folderRow->addWidget(choose);
    const auto label = [box](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, box);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(u"Find &what:"_s, findEdit_), findEdit_);
    form->addRow(label(u"Re&place with:"_s, replaceEdit_), replaceEdit_);
    form->addRow(label(u"F&older:"_s, folderEdit_), folderRow);
    form->addRow(label(u"File &masks:"_s, masksEdit_), masksEdit_);
    return box;
}

QWidget *FindInFilesWindow::BuildOptions() {
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    subfolders_ = NamedCheck(u"Include &subfolders"_s, box);
    subfolders_->setChecked(true);
    matchCase_ = NamedCheck(u"Match &case"_s, box);
    wholeWord_ = NamedCheck(u"W&hole word"_s, box);
    regex_ = NamedCheck(u"Regular e&xpression"_s, box);
    for (QCheckBox *check : {subfolders_, matchCase_, wholeWord_, regex_})
        row->addWidget(check);
    row->addStretch();
    return box;
}

QWidget *FindInFilesWindow::BuildButtons() {
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    findAll_ = NamedButton(u"&Find All"_s, box);
    findAll_->setDefault(true);
    replaceAll_ = NamedButton(u"&Replace All..."_s, box);
    stop_ = NamedButton(u"S&top"_s, box);
    stop_->setEnabled(false);
    close_ = NamedButton(u"Close"_s, box);
    connect(findAll_, &QPushButton::clicked, this, &FindInFilesWindow::FindAll);
    connect(replaceAll_, &QPushButton::clicked, this, &FindInFilesWindow::ReplaceAll);
    connect(stop_, &QPushButton::clicked, this, &FindInFilesWindow::Stop);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    row->addWidget(findAll_);
    row->addWidget(replaceAll_);
    row->addWidget(stop_);
    row->addStretch();
    row->addWidget(close_);
    return box;
}

void FindInFilesWindow::Prefill(const QString &folder, const QString &masks, const QString &find) {
    if (!folder.isEmpty())
        folderEdit_->setText(folder);
    if (!masks.isEmpty())
        masksEdit_->setText(masks);
    if (!find.isEmpty())
        findEdit_->setText(find);
    findEdit_->selectAll();
    findEdit_->setFocus();
}

void FindInFilesWindow::ChooseFolder() {
    const QString chosen =
        dialogs_.GetExistingDirectory(u"Folder to search"_s, folderEdit_->text());
    if (!chosen.isEmpty())
        folderEdit_->setText(WithBackslash(chosen));
}

SiteSearchQuery FindInFilesWindow::QueryFromFields() const {
    SiteSearchQuery query;
    query.folder = folderEdit_->text().trimmed();
    query.masks = masksEdit_->text().trimmed();
    if (query.masks.isEmpty())
        query.masks = DefaultMasks();
    query.includeSubfolders = subfolders_->isChecked();
    query.find = findEdit_->text();
    query.options.matchCase = matchCase_->isChecked();
    query.options.wholeWord = wholeWord_->isChecked();
    query.options.regularExpression = regex_->isChecked();
    return query;
}

bool FindInFilesWindow::StartSearch(Then then) {
    const SiteSearchQuery query = QueryFromFields();
    if (query.folder.isEmpty() || !QDir(query.folder).exists()) {
        prompts_.ShowInfo(u"The folder \""_s + query.folder + u"\" does not exist."_s);
        return false;
    }
    results_->clear();
    found_.clear();
    matchesSoFar_ = 0;
    summary_ = {};
    finished_ = false;
    const QString error = search_.Start(query);
    if (!error.isEmpty()) {
        status_->clear();
        prompts_.ShowInfo(error);
        return false;
    }
    query_ = query;
    then_ = then;
    settings_.LastSearch = query.find;
    settings_.LastReplace = replaceEdit_->text();
    SetSearching(true);
    ShowStatus();
    return true;
}

void FindInFilesWindow::FindAll() {
    StartSearch(Then::Nothing);
}

void FindInFilesWindow::ReplaceAll() {
    StartSearch(Then::Preview);
}

void FindInFilesWindow::Stop() {
    search_.Stop();
}

void FindInFilesWindow::SetSearching(bool searching) {
    stop_->setEnabled(searching);
    findAll_->setEnabled(!searching);
    replaceAll_->setEnabled(!searching);
    if (searching)
        statusTimer_->start();
    else
        statusTimer_->stop();
}

void FindInFilesWindow::AddFile(const FileMatches &file) {
    found_.push_back({file.path, file.stamp, file.fingerprint});
    matchesSoFar_ += file.count;
    auto *row = new QTreeWidgetItem;
    row->setText(0, ShownPath(file.path, query_.folder) + u"  ("_s + QString::number(file.count) +
                        u')');
    row->setToolTip(0, file.path);
    row->setData(0, kPathRole, file.path);
    QList<QTreeWidgetItem *> children;
    children.reserve(qsizetype(file.matches.size()));
    for (const LineMatch &match : file.matches)
        children.append(MatchRow(file.path, match));
    row->addChildren(children);
    results_->addTopLevelItem(row);
    row->setExpanded(true);
    // The first result shows at once, not only at the next status tick.
    if (results_->topLevelItemCount() == 1)
        ShowStatus();
}

void FindInFilesWindow::Finished(const SearchSummary &summary) {
    summary_ = summary;
    finished_ = true;
    SetSearching(false);
    ShowStatus();
    if (then_ == Then::Preview && !summary.stopped)
        ShowPreview();
}

QString FindInFilesWindow::Status() const {
    return status_->text();
}

void FindInFilesWindow::ShowStatus() {
    const qint64 matches = finished_ ? summary_.matches : matchesSoFar_;
    const qint64 files = finished_ ? summary_.files : qint64(found_.size());
    const qint64 searched = finished_ ? summary_.searched : search_.Searched();
    const qint64 skipped = finished_ ? summary_.skipped : search_.Skipped();
    QString text = u"%1 matches in %2 files (%3 files searched, %4 skipped)"_s.arg(matches)
                       .arg(files)
                       .arg(searched)
                       .arg(skipped);
    if (finished_ && summary_.notKept > 0)
        text += u"; the first %1 are listed, and %2 more"_s.arg(matches - summary_.notKept)
                    .arg(summary_.notKept);
    if (!finished_)
        text = u"Searching... "_s + text;
    else if (summary_.stopped)
        text = u"Stopped: "_s + text;
    status_->setText(text);
}

void FindInFilesWindow::ActivateItem(QTreeWidgetItem *item) {
    if (!item)
        return;
    // A page's row opens its first occurrence, if one is listed.
    if (!item->parent() && item->childCount() > 0)
        item = item->child(0);
    const QString path = item->data(0, kPathRole).toString();
    if (path.isEmpty())
        return;
    if (!item->parent()) {
        emit matchActivated(path, 1, 1, 0);
        return;
    }
    emit matchActivated(path, item->data(0, kLineRole).toInt(),
                        int(item->data(0, kColumnRole).toLongLong()),
                        int(item->data(0, kLengthRole).toLongLong()));
}

void FindInFilesWindow::ShowPreview() {
    if (found_.empty()) {
        prompts_.ShowInfo(u'"' + query_.find + u"\" not found in the files searched."_s);
        return;
    }
    const TextPattern pattern(query_.find, query_.options);
    const QString replacement = settings_.LastReplace;
    std::vector<PreviewedFile> previews;
    {
        const WaitCursor wait;
        previews.reserve(found_.size());
        for (const ReplaceTarget &target : found_)
            previews.push_back(
                PreviewReplacement(target, pattern, replacement, kPreviewLinesPerFile));
    }
    ReplacePreviewDialog dialog(previews, query_.folder, this);
    const int answer = runDialog_ ? runDialog_(dialog) : dialog.exec();
    if (answer != QDialog::Accepted)
        return;
    ReplaceSettings settings;
    settings.folder = query_.folder;
    settings.createBackups = settings_.DoCreateBackUps;
    settings.backupExt = settings_.BackupExt;
    ReplaceOutcome outcome;
    {
        const WaitCursor wait;
        outcome = ApplyReplacements(dialog.Chosen(), pattern, replacement, settings, editor_);
    }
    prompts_.ShowInfo(outcome.Message());
}

void FindInFilesWindow::closeEvent(QCloseEvent *event) {
    search_.Stop();
    QWidget::closeEvent(event);
}

void FindInFilesWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velmora
