// Building the main window's widgets and menu.
#include "app/about_box.h"
#include "app/folder_pane.h"
#include "app/font_form.h"
#include "app/form_help.h"
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "foundation/desktop_services.h"
#include "foundation/prompts.h"
#include "thumbs/capture/thumbnail_maker.h"
#include "thumbs/thumb_size.h"
#include "widgets/caption_panel.h"
#include "widgets/wait_cursor.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kLeftColumnWidth = 163;
constexpr int kFileListWidth = 149;

// The tiled picture behind the top and bottom strips: silver with a fine
// engraved line pattern.
QPixmap StripTile() {
    QPixmap tile(8, 8);
    tile.fill(QColor(192, 192, 192));
    QPainter p(&tile);
    p.setPen(QColor(176, 176, 176));
    p.drawLine(0, 7, 7, 0);
    p.setPen(QColor(208, 208, 208));
    p.drawPoint(0, 0);
    return tile;
}

QWidget *Strip(int height, QWidget *parent) {
    auto *strip = new QWidget(parent);
    strip->setFixedHeight(height);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setBrush(QPalette::Window, QBrush(StripTile()));
    strip->setPalette(palette);
    return strip;
}

// The keys of the file list: Enter opens the current file as a double click
// does, Delete deletes the selected files.
class FileListKeys final : public QObject {
public:
    FileListKeys(QObject *parent, std::function<void()> open, std::function<void()> remove)
        : QObject(parent), open_(std::move(open)), remove_(std::move(remove)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            open_();
            return true;
        }
        if (key == Qt::Key_Delete) {
            remove_();
            return true;
        }
        return false;
    }

private:
    std::function<void()> open_;
    std::function<void()> remove_;
};

} // namespace

void TForm1::BuildLayout() {
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    QWidget *panelButtons = Strip(16, central);
    panelButtons->setObjectName(u"PanelButtons"_s);
    auto *hintLayout = new QHBoxLayout(panelButtons);
    hintLayout->setContentsMargins(4, 0, 4, 0);
    hintLayout->addWidget(status_->BuildHintLine(panelButtons));
    column->addWidget(panelButtons);

    auto *progressActFile = new QProgressBar(central);
    progressActFile->setObjectName(u"ProgressActFile"_s);
    progressActFile->setFixedHeight(11);
    progressActFile->setRange(0, 10);
    progressActFile->setValue(0);
    progressActFile->setTextVisible(false);
    progressActFile->setAccessibleName(u"Progress"_s);
    column->addWidget(progressActFile);
    progress_.SetBar(progressActFile);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setStyleSheet(u"QSplitter::handle { background: rgb(255,128,0); }"_s);
    splitter->setHandleWidth(4);
    splitter->addWidget(BuildLeftColumn());

    pageControl_ = std::make_unique<QTabWidget>(splitter);
    pageControl_->setObjectName(u"PageControl1"_s);
    pageControl_->setDocumentMode(true);
    pageControl_->setAccessibleName(u"Views"_s);
    const QStringList pageNames{u"LBFile"_s, u"TabThumb"_s, u"TabTree"_s};
    for (int page = 0; page < 3; ++page) {
        QWidget *widget = View(page)->Widget();
        widget->setObjectName(pageNames[page]);
        if (widget->accessibleName().isEmpty())
            widget->setAccessibleName(kTabNames[page] + u" files"_s);
        QWidget *sheet = page == TabFile    ? BuildFolderViewPage(widget)
                         : page == TabThumb ? BuildThumbViewPage(widget)
                                            : widget;
        pageControl_->addTab(sheet, kTabNames[page]);
    }
    // The context knows the tab in front before anything hears of the change.
    connect(pageControl_.get(), &QTabWidget::currentChanged, &context_,
            &FolderContext::SetActiveTab);
    connect(pageControl_.get(), &QTabWidget::currentChanged, &links_,
            [this](int index) { OnTabBarChanged(index); });
    splitter->addWidget(pageControl_.get());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kLeftColumnWidth, 550});
    column->addWidget(splitter, 1);

    QWidget *bottom = Strip(18, central);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 0, 4, 0);
    bottomLayout->addStretch();
    auto *badge = new QLabel(u"<b>Velmora</b>"_s, bottom);
    badge->setStyleSheet(u"color: rgb(0,128,128); font-size: 9px;"_s);
    bottomLayout->addWidget(badge);
    column->addWidget(bottom);

    setCentralWidget(central);
}

// The Folder View tab: the folder's name in a title bar over the file list,
// and beside the list the preview area with its button strip.
QWidget *TForm1::BuildFolderViewPage(QWidget *fileList) {
    auto *page = new QWidget;
    page->setObjectName(u"TabFile"_s);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    labelFiles_ = new CaptionPanel(QString(), page);
    labelFiles_->setObjectName(u"LabelFiles"_s);
    labelFiles_->setAccessibleDescription(u"Current folder"_s);
    column->addWidget(labelFiles_);

    fileList->installEventFilter(new FileListKeys(
        fileList, [this] { preview_->DblClickForAll(); },
        [this] { commands_->DeleteSelectedFiles(); }));
    auto *splitter = new QSplitter(Qt::Horizontal, page);
    splitter->setStyleSheet(u"QSplitter::handle { background: rgb(255,128,0); }"_s);
    splitter->setHandleWidth(4);
    splitter->addWidget(fileList);
    splitter->addWidget(preview_->BuildArea(splitter));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kFileListWidth, 400});
    column->addWidget(splitter, 1);
    return page;
}

// The Thumbnail View tab: the folder's name in a title bar over the tile
// grid, and below it the thumbnail commands.
QWidget *TForm1::BuildThumbViewPage(QWidget *grid) {
    auto *page = new QWidget;
    page->setObjectName(u"TabThumbPage"_s);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *top = new QWidget(page);
    top->setObjectName(u"PanelThumbsTop"_s);
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    labelThumbs_ = new CaptionPanel(QString(), top);
    labelThumbs_->setObjectName(u"LabelThumbs"_s);
    labelThumbs_->setAccessibleDescription(u"Current folder"_s);
    topLayout->addWidget(labelThumbs_);
    column->addWidget(top);

    grid->installEventFilter(new FileListKeys(
        grid, [this] { preview_->DblClickForAll(); },
        [this] { commands_->DeleteSelectedFiles(); }));
    column->addWidget(grid, 1);
    column->addWidget(BuildThumbButtons(page));
    return page;
}

// The bottom bar of the Thumbnail View: the base size the thumbnails are
// captured at and the thumbnail commands.
QWidget *TForm1::BuildThumbButtons(QWidget *parent) {
    QWidget *strip = Strip(28, parent);
    strip->setObjectName(u"PanThumbs"_s);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 2, 2, 2);

    cbSnapBase_ = new QComboBox(strip);
    cbSnapBase_->setObjectName(u"CBSnapBase"_s);
    cbSnapBase_->setToolTip(u"Choose browser size for thumbnail creation"_s);
    for (const ThumbBaseSize &size : kThumbBaseSizes)
        cbSnapBase_->addItem(QString::fromUtf16(size.itemText));
    // A stored index that names no item leaves the box empty; it is kept as
    // stored until the user chooses a size.
    const int stored = program_.Config().ThumbBaseIndex;
    cbSnapBase_->setCurrentIndex(stored >= 0 && stored < cbSnapBase_->count() ? stored : -1);
    connect(cbSnapBase_, &QComboBox::currentIndexChanged, this,
            [this](int index) { program_.Config().ThumbBaseIndex = index; });
    row->addWidget(cbSnapBase_);

    const auto addButton = [&](const QString &caption, const QString &name, const QString &hint,
                               std::function<void()> command) {
        auto *button = new QPushButton(caption, strip);
        button->setObjectName(name);
        button->setToolTip(hint);
        connect(button, &QPushButton::clicked, this, std::move(command));
        row->addWidget(button);
        return button;
    };
    QAction *make = commands_->Action(FileAction::MakeThumbs);
    QAction *clear = commands_->Action(FileAction::ClearThumbs);
    addButton(u"Make Thumbs"_s, u"BMakeThumb"_s, u"Create or update selected thumbnail(s)"_s,
              [make] { make->trigger(); });
    addButton(u"ClearThumbs"_s, u"BDelThumb"_s, u"Clear selected thumbnail(s)"_s,
              [clear] { clear->trigger(); });
    row->addStretch();
    addButton(u"Select All"_s, u"BThumbSelAll"_s, u"[CTRL-A ] = Select all"_s,
              [this] { BThumbSelAllClick(); });
    return strip;
}

void TForm1::BThumbSelAllClick() {
    {
        const WaitCursor busy;
        if (auto *grid = qobject_cast<QAbstractItemView *>(View(TabThumb)->Widget()))
            grid->selectAll();
    }
    status_->Update();
}

// The folder pane with the thumbnail corner between its tree and filter.
QWidget *TForm1::BuildLeftColumn() {
    folderPane_ = new FolderPane(context_, *document_, prompts_, program_.Config(),
                                 program_.Folders().ThumbDir);
    ConnectFolderPane();
    // The thumbnail corner is the preview's; it sits between tree and filter.
    auto *corner = new QWidget(folderPane_);
    auto *cornerColumn = new QVBoxLayout(corner);
    cornerColumn->setContentsMargins(0, 0, 0, 0);
    cornerColumn->setSpacing(2);
    preview_->BuildThumbnailCorner(corner, *cornerColumn);
    folderPane_->AddBelowTree(corner);
    return folderPane_;
}

} // namespace velmora
