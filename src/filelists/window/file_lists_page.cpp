#include "filelists/window/file_lists_page.h"

#include "filelists/file_list_model.h"
#include "filelists/list_commands.h"
#include "filelists/window/elv_report.h"
#include "filelists/window/form_ask_fname.h"
#include "filelists/window/form_search.h"
#include "foundation/folder_context.h"
#include "widgets/caption_panel.h"
#include "widgets/wait_cursor.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kCaptionHeight = 18;
constexpr int kSavedListsWidth = 150;

// The tab's buttons are flat and take no focus, so that pressing one leaves
// the focus, and with it the state of the saved lists' buttons, alone.
QPushButton *FlatButton(const QString &caption, const QString &name, const QString &hint,
                        QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The saved lists' keys and focus: Enter loads, Delete deletes, and the
// caption above shows where the focus is.
class SavedListsEvents final : public QObject {
public:
    SavedListsEvents(QObject *parent, std::function<void()> load, std::function<void()> remove,
                     std::function<void(bool)> focus)
        : QObject(parent), load_(std::move(load)), remove_(std::move(remove)),
          focus_(std::move(focus)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                load_();
                return true;
            }
            if (key == Qt::Key_Delete) {
                remove_();
                return true;
            }
            return false;
        }
        case QEvent::FocusIn:
            focus_(true);
            return false;
        case QEvent::FocusOut:
            focus_(false);
            return false;
        default:
            return false;
        }
    }

private:
    std::function<void()> load_;
    std::function<void()> remove_;
    std::function<void(bool)> focus_;
};

} // namespace

FileListsPage::FileListsPage(FileListsContext context, QWidget *parent)
    : QWidget(parent), context_(std::move(context)) {
    setObjectName(u"TabTreePage"_s);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setStyleSheet(u"QSplitter::handle { background: rgb(255,128,0); }"_s);
    splitter->setHandleWidth(4);
    splitter->addWidget(BuildReportColumn());
    splitter->addWidget(BuildSavedLists());
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({500, kSavedListsWidth});
    row->addWidget(splitter);

    formSearch_ = new TFormSearch(this);
    formAskFName_ = new TFormAskFName(context_.prompts, context_.listDir, this);
    connect(formAskFName_, &TFormAskFName::ShowReportRequested, this, &FileListsPage::ShowReport);
    ReadSavedLists();
    SetListButtonState();
}

FileListsPage::~FileListsPage() = default;

QWidget *FileListsPage::BuildReportColumn() {
    auto *area = new QWidget;
    area->setObjectName(u"PanelTree"_s);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    panelTreeTop_ = new CaptionPanel(NoListCaption(), area);
    panelTreeTop_->setObjectName(u"PanelTreeTop"_s);
    panelTreeTop_->setFixedHeight(kCaptionHeight);
    // A long folder in the caption is cut, not allowed to widen the tab.
    panelTreeTop_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    panelTreeTop_->setAccessibleDescription(u"File list caption"_s);
    column->addWidget(panelTreeTop_);

    report_ = new ELVReport(area);
    panelTreeTop_->setBuddy(report_);
    column->addWidget(report_, 1);
    connect(report_, &ELVReport::OpenRequested, this, &FileListsPage::openRequested);
    connect(report_, &ELVReport::TakeOutRequested, this, [this] {
        if (bTakeOut_->isEnabled())
            BTakeOutClick();
    });
    connect(report_, &ELVReport::SelectAllRequested, this, &FileListsPage::BSelectClick);
    connect(report_, &ELVReport::KeyPressed, this, [this] {
        SetListButtonState();
        emit statusChanged();
    });
    connect(report_, &ELVReport::KeyReleased, this, &FileListsPage::ShowCurrentThumb);
    connect(report_, &ELVReport::MouseReleased, this, [this] {
        emit statusChanged();
        ShowCurrentThumb();
    });
    connect(report_, &ELVReport::FocusChanged, panelTreeTop_, &CaptionPanel::SetActive);

    auto *bar = new QWidget(area);
    bar->setObjectName(u"PanLV"_s);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(2, 2, 2, 2);
    bGetFiles_ = FlatButton(u"Search"_s, u"BGetFiles"_s, u"Search files in current folder"_s, bar);
    bSelect_ = FlatButton(u"Select All"_s, u"BSelect"_s, u"[CTRL-A ] = Select all entries"_s, bar);
    bTakeOut_ = FlatButton(u"Take out"_s, u"BTakeOut"_s,
                           u"[DEL] = Take out selected entries from list"_s, bar);
    bSaveList_ = FlatButton(u"Save List"_s, u"BSaveList"_s, u"Save list to disk"_s, bar);
    bAdd_ = FlatButton(u"Add"_s, u"BAdd"_s, u"Manually add files to list"_s, bar);
    for (QPushButton *button : {bGetFiles_, bSelect_, bTakeOut_, bSaveList_, bAdd_})
        buttons->addWidget(button);
    buttons->addStretch();
    connect(bGetFiles_, &QPushButton::clicked, this, &FileListsPage::BGetFilesClick);
    connect(bSelect_, &QPushButton::clicked, this, &FileListsPage::BSelectClick);
    connect(bTakeOut_, &QPushButton::clicked, this, &FileListsPage::BTakeOutClick);
    connect(bSaveList_, &QPushButton::clicked, this, &FileListsPage::BSaveListClick);
    connect(bAdd_, &QPushButton::clicked, this, &FileListsPage::BAddClick);
    column->addWidget(bar);
    return area;
}

QWidget *FileListsPage::BuildSavedLists() {
    auto *area = new QWidget;
    area->setObjectName(u"PanelDateiListen"_s);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    panelListTop_ = new CaptionPanel(u"Saved Lists"_s, area);
    panelListTop_->setObjectName(u"PanelListTop"_s);
    panelListTop_->setFixedHeight(kCaptionHeight);
    column->addWidget(panelListTop_);

    lbListen_ = new QListWidget(area);
    lbListen_->setObjectName(u"LBListen"_s);
    lbListen_->setAccessibleName(u"Saved Lists"_s);
    lbListen_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbListen_->setUniformItemSizes(true);
    column->addWidget(lbListen_, 1);
    lbListen_->installEventFilter(new SavedListsEvents(
        lbListen_, [this] { BOpenListClick(); }, [this] { BDeleteListClick(); },
        [this](bool focused) {
            panelListTop_->SetActive(focused);
            if (!focused)
                for (QPushButton *button : {bOpenList_, bDeleteList_, bMergeList_})
                    button->setEnabled(false);
        }));
    connect(lbListen_, &QListWidget::itemSelectionChanged, this, &FileListsPage::LBListenChange);
    connect(lbListen_, &QListWidget::itemDoubleClicked, this, [this] { BOpenListClick(); });

    auto *bar = new QWidget(area);
    bar->setObjectName(u"PanListButtons"_s);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(2, 2, 2, 2);
    bOpenList_ =
        FlatButton(u"Load List"_s, u"BOpenList"_s, u"Load and verify selected list"_s, bar);
    bDeleteList_ = FlatButton(u"Delete"_s, u"BDeleteList"_s, u"Delete selected file list"_s, bar);
    bMergeList_ = FlatButton(u"Merge"_s, u"BMergeList"_s, u"Merge selected lists"_s, bar);
    for (QPushButton *button : {bOpenList_, bDeleteList_, bMergeList_}) {
        button->setEnabled(false);
        buttons->addWidget(button);
    }
    connect(bOpenList_, &QPushButton::clicked, this, &FileListsPage::BOpenListClick);
    connect(bDeleteList_, &QPushButton::clicked, this, &FileListsPage::BDeleteListClick);
    connect(bMergeList_, &QPushButton::clicked, this, &FileListsPage::BMergeListClick);
    column->addWidget(bar);
    return area;
}

QString FileListsPage::EntryPath(int row) const {
    return report_->Model().GetLVEntryPath(row);
}

QString FileListsPage::CurrentFile() const {
    const int row = report_->CurrentSingleRow();
    return row < 0 ? QString() : EntryPath(row);
}

void FileListsPage::ShowFilesFoundIn(const QString &x) {
    panelTreeTop_->setText(FilesFoundInCaption(x));
}

void FileListsPage::SetListButtonState() {
    const bool rows = report_->Model().Count() > 0;
    bSelect_->setEnabled(rows);
    bTakeOut_->setEnabled(rows);
    bSaveList_->setEnabled(rows && !currentList_.Saved);
}

void FileListsPage::BSelectClick() {
    report_->SelectAllRows();
    emit statusChanged();
}

void FileListsPage::BTakeOutClick() {
    if (report_->TakeOutSelectedEntries() > 0)
        currentList_.Saved = false;
    emit statusChanged();
    SetListButtonState();
}

void FileListsPage::FillLVFromList(const QStringList &lines) {
    const WaitCursor busy;
    report_->setUpdatesEnabled(false);
    report_->Model().FillLVFromList(lines, context_.progress);
    emit statusChanged();
    report_->setUpdatesEnabled(true);
}

void FileListsPage::ShowCurrentThumb() {
    emit thumbnailWanted(CurrentFile());
}

void FileListsPage::FocusReport() {
    if (report_->isVisible() && report_->isEnabled())
        report_->setFocus();
}

int FileListsPage::RunDialog(QDialog &dialog) {
    return context_.runDialog ? context_.runDialog(dialog) : dialog.exec();
}

// ---- the saved lists ------------------------------------------------------------

void FileListsPage::ReadSavedLists() {
    const QSignalBlocker quiet(lbListen_);
    lbListen_->clear();
    lbListen_->addItems(SavedListNames(context_.listDir));
    LBListenChange();
}

void FileListsPage::LBListenChange() {
    const auto selected = lbListen_->selectedItems().size();
    bOpenList_->setEnabled(selected == 1);
    bDeleteList_->setEnabled(selected == 1);
    bMergeList_->setEnabled(selected > 1);
}

} // namespace velmora
