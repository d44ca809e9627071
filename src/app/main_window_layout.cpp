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

// Runs command whenever the button becomes checked, however that happens: a
// click, the space bar, or the Toggle action of an assistive tool (a screen
// reader, voice control, switch access), which changes the state without a
// click. A click on the button that is already down runs it again.
void RunWhenChecked(QAbstractButton *button, QObject *context, std::function<void()> command) {
    auto downBefore = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::pressed, context,
                     [button, downBefore] { *downBefore = button->isChecked(); });
    QObject::connect(button, &QAbstractButton::toggled, context, [command](bool checked) {
        if (checked)
            command();
    });
    QObject::connect(button, &QAbstractButton::clicked, context, [button, downBefore, command] {
        if (std::exchange(*downBefore, false) && button->isChecked())
            command();
    });
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

// Runs a command when the watched widget is double-clicked.
class DoubleClickFilter final : public QObject {
public:
    DoubleClickFilter(QObject *parent, std::function<void()> command)
        : QObject(parent), command_(std::move(command)) {}
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonDblClick)
            command_();
        return false;
    }

private:
    std::function<void()> command_;
};

} // namespace

void TForm1::BuildLayout() {
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    QWidget *panelButtons = Strip(16, central);
    panelButtons->setObjectName(u"PanelButtons"_s);
    labelHint_ = new QLabel(panelButtons);
    labelHint_->setObjectName(u"LabelHint"_s);
    labelHint_->setAlignment(Qt::AlignCenter);
    labelHint_->setStyleSheet(u"color: black;"_s);
    // A label's accessible name is its text, which screen readers should read;
    // the description tells what the line is.
    labelHint_->setAccessibleDescription(u"Hint line"_s);
    auto *hintLayout = new QHBoxLayout(panelButtons);
    hintLayout->setContentsMargins(4, 0, 4, 0);
    hintLayout->addWidget(labelHint_);
    column->addWidget(panelButtons);

    progressActFile_ = new QProgressBar(central);
    progressActFile_->setObjectName(u"ProgressActFile"_s);
    progressActFile_->setFixedHeight(11);
    progressActFile_->setRange(0, 10);
    progressActFile_->setValue(0);
    progressActFile_->setTextVisible(false);
    progressActFile_->setAccessibleName(u"Progress"_s);
    column->addWidget(progressActFile_);

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
        fileList, [this] { DblClickForAll(); }, [this] { DeleteSelectedFiles(); }));
    auto *splitter = new QSplitter(Qt::Horizontal, page);
    splitter->setStyleSheet(u"QSplitter::handle { background: rgb(255,128,0); }"_s);
    splitter->setHandleWidth(4);
    splitter->addWidget(fileList);
    splitter->addWidget(BuildPreviewArea(splitter));
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kFileListWidth, 400});
    column->addWidget(splitter, 1);
    return page;
}

// The preview area: the host panel Panel1, into which the browser or the
// editor is docked, and below it the buttons that choose the view and save
// the editor's document.
QWidget *TForm1::BuildPreviewArea(QWidget *parent) {
    auto *area = new QWidget(parent);
    area->setObjectName(u"PanelActPreview"_s);
    auto *column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildPreviewHost(area), 1);

    auto *strip = new QWidget(area);
    strip->setObjectName(u"PanFolder"_s);
    auto *buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(2, 2, 2, 2);
    auto *views = new QButtonGroup(strip);
    views->setExclusive(true);
    // The view buttons act when they go down, the others when clicked.
    const auto addButton = [&](const QString &caption, const QString &name, const QString &hint,
                               std::function<void()> command, bool chooseView = false) {
        auto *button = new QPushButton(caption, strip);
        button->setObjectName(name);
        button->setToolTip(hint);
        std::function<void()> run = [this, caption, command] {
            if (formView_)
                command();
            else
                NotYetAvailable(caption);
        };
        if (chooseView) {
            button->setCheckable(true);
            views->addButton(button);
            RunWhenChecked(button, this, std::move(run));
        } else {
            connect(button, &QPushButton::clicked, this, std::move(run));
        }
        buttons->addWidget(button);
        return button;
    };
    sbBrowser_ = addButton(
        u"Browser"_s, u"SBBrowser"_s, u"Show Browser View"_s, [this] { SBBrowserClick(); }, true);
    sbEditor_ = addButton(
        u"Editor"_s, u"SBEditor"_s, u"Show Editor"_s, [this] { SBBrowserClick(); }, true);
    {
        // The browser is chosen from the start; the window docks it when shown.
        const QSignalBlocker quiet(sbBrowser_);
        sbBrowser_->setChecked(true);
    }
    buttons->addStretch();
    bSaveAs_ = addButton(u"Save As"_s, u"BSaveAs"_s, u"Save a copy of the current editor file"_s,
                         [this] { BSaveAsClick(); });
    bSave_ = addButton(u"Save"_s, u"BSave"_s, u"[CTRL-S]: Save current editor file"_s,
                       [this] { document_->Save(); });
    bSave_->setEnabled(false);
    if (formView_)
        bSaveAs_->setEnabled(false);
    column->addWidget(strip);
    return area;
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
        grid, [this] { DblClickForAll(); }, [this] { DeleteSelectedFiles(); }));
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
    addButton(u"Make Thumbs"_s, u"BMakeThumb"_s, u"Create or update selected thumbnail(s)"_s,
              [this] { Add_Remove(ModeMake); });
    addButton(u"ClearThumbs"_s, u"BDelThumb"_s, u"Clear selected thumbnail(s)"_s,
              [this] { Add_Remove(ModeClear); });
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
    UpdateStatus();
}

// The folder pane with the thumbnail corner between its tree and filter.
QWidget *TForm1::BuildLeftColumn() {
    folderPane_ = new FolderPane(context_, *document_, prompts_, program_.Config(),
                                 program_.Folders().ThumbDir);
    ConnectFolderPane();
    auto *corner = new QLabel(u"--- Thumbnail Corner ---"_s, folderPane_);
    corner->setObjectName(u"PanelActThumb"_s);
    corner->setAlignment(Qt::AlignCenter);
    folderPane_->AddBelowTree(corner);
    imgMini_ = new QLabel(folderPane_);
    imgMini_->setObjectName(u"ImgMini"_s);
    imgMini_->setAccessibleName(u"Thumbnail corner"_s);
    imgMini_->setFixedSize(ThumbWidth, ThumbHeight);
    imgMini_->setAlignment(Qt::AlignCenter);
    imgMini_->setCursor(Qt::PointingHandCursor);
    imgMini_->installEventFilter(new DoubleClickFilter(imgMini_, [this] { Add_Remove(ModeMake); }));
    folderPane_->AddBelowTree(imgMini_, Qt::AlignHCenter);
    return folderPane_;
}

QAction *TForm1::AddMenuEntry(QMenu *menu, const QString &caption, const QString &name,
                              std::function<void()> command) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    return action;
}

void TForm1::BuildMenu() {
    QMenuBar *bar = menuBar();
    bar->setObjectName(u"MainMenu1"_s);

    QMenu *file = bar->addMenu(u"&File"_s);
    AddMenuEntry(file, u"&Close Velmora"_s, u"Close1"_s, [this] { close(); });

    QMenu *options = bar->addMenu(u"&Options"_s);
    AddMenuEntry(options, u"&General Options"_s, u"GeneralOptions1"_s,
                 [this] { ShowGeneralOptions(); });
    AddMenuEntry(options, u"&Temporary Browser Settings"_s, u"BrowserOptions1"_s,
                 [this] { ShowBrowserSettings(); });

    extrasMenu_ = bar->addMenu(u"&Extras"_s);
    extrasMenu_->setObjectName(u"SnapShot1"_s);
    AddMenuEntry(extrasMenu_, u"&Create Snapshot(s)"_s, u"Snapcurrenrfile1"_s,
                 [this] { Snapcurrenrfile1Click(); });
    extrasMenu_->setEnabled(false);
    extrasMenu_->menuAction()->setEnabled(false);

    QMenu *clean = bar->addMenu(u"&Clean"_s);
    AddMenuEntry(clean, u"Remove orphaned thumbs from disk"_s, u"Removeoutdatedthumbs1"_s,
                 [this] { CleanThumbnails(false); });
    AddMenuEntry(clean, u"Remove all thumbs from disk"_s, u"Removeallthumbsfromdisk1"_s,
                 [this] { CleanThumbnails(true); });

    QMenu *help = bar->addMenu(u"&Help"_s);
    AddMenuEntry(help, u"&Show Help"_s, u"Sh1"_s, [this] { ShowHelp(); });
    AddMenuEntry(help, u"&Velmora Hompage"_s, u"VelmoraHompage1"_s,
                 [this] { desktop_.OpenUrl(QUrl(HomePageUrl)); });
    help->addSeparator();
    AddMenuEntry(help, u"&About"_s, u"About2"_s, [this] { ShowAbout(); });
}

void TForm1::NotYetAvailable(const QString &caption) {
    ShowNotYetAvailable(prompts_, caption);
}

// A new help window each time, owned by the main window until the user
// closes it. Without a rendering engine (tests of the window's logic) the
// pages open in the default web browser instead.
void TForm1::ShowHelp() {
    const QString index = program_.Folders().ShippedPath(u"HELP/index.htm"_s);
    if (!render_) {
        desktop_.OpenUrl(QUrl::fromLocalFile(index));
        return;
    }
    auto *help = new TFormHelp(*render_, this);
    help->LoadIndex(index, prompts_);
    help->show();
}

// The settings belong to the internal browser; captures copy them from it.
void TForm1::ShowBrowserSettings() {
    if (!formView_ || !render_) {
        prompts_.ShowInfo(u"There is no internal browser to set."_s);
        return;
    }
    TFontForm::RunOn(*formView_->FrameViewer1(), *render_, this);
}

void TForm1::ShowAbout() {
    AboutBox box(this);
    box.exec();
}

} // namespace velmora
