#pragma once
// The main window: the left column (drive, folder tree, thumbnail corner,
// filter), the three tabs, the main menu, the hint line and the progress bar.
// It implements ActiveView, through which every subsystem asks for the current
// file and the selection of the active tab.

#include "app/program.h"
#include "app/tab_view.h"
#include "foundation/active_view.h"
#include "foundation/progress.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTreeView;

namespace velmora {

class CaptionPanel;

// The views of the three tabs; an empty slot gets a placeholder list.
struct MainWindowViews {
    std::unique_ptr<TabView> folder;
    std::unique_ptr<TabView> thumbs;
    std::unique_ptr<TabView> lists;
};

class TForm1 final : public QMainWindow, public ActiveView, public ProgressBar {
    Q_OBJECT
public:
    enum Page { TabFile = 0, TabThumb = 1, TabTree = 2 };

    TForm1(Program &program, MainWindowViews views = {});
    // Writes prg.ini, once, as the window goes away.
    ~TForm1() override;

    // ActiveView
    QString GetCurrentFile() const override;
    TSelectionInfo GetSelectionInfo() const override;
    QStringList SelectedFiles() const override;

    // ProgressBar: the thin bar ProgressActFile under the hint line.
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;

    // Recounts the active view's selection; refreshes tab captions, the hint
    // line and the Extras menu. Does nothing while starting up.
    void UpdateStatus();
    // The question before the editor's text is given up: true to go on.
    // Answers "no question asked" until the editor provides its own.
    std::function<bool()> SaveChangesPrompt;
    // Reloads the current file into the preview (forced); set by the preview.
    std::function<void()> ReloadPreview;

    // Called when the user returns to the program from another application.
    void AppActivate();
    // Opens folder in the folder view and puts the caret on file (if given).
    void JumpToFileAndFolder(const QString &path);
    QString CurrentFolder() const { return currentFolder_; }

    QString HintText() const;
    QTabWidget *Pages() const { return pageControl_; }
    QMenu *ExtrasMenu() const { return extrasMenu_; }

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildLeftColumn();
    void BuildMenu();
    QAction *AddMenuEntry(QMenu *menu, const QString &caption, const QString &name,
                          std::function<void()> command);
    void NotYetAvailable(const QString &caption);
    void ShowHelp();
    void ShowAbout();
    void CleanThumbnails(bool removeAll);

    void FormShow();
    void FormActivate();
    void LoadThumbStyle(const QString &name);
    void LoadTagSyntax();
    void ApplyFilterDefinition();
    void ApplyHints();
    void CentreOnScreen();

    void ShowFolder(const QString &folder);
    void ApplyFilter(int index);
    void SyncThumbCount();
    void ClearThumbnailCorner();
    void PageControl1Change(int index);
    bool PageControl1Changing(int from);
    void OnTabBarChanged(int index);
    void OnFocusChanged(QWidget *now);

    TabView *View(int page) const;

    Program &program_;
    std::array<std::unique_ptr<TabView>, 3> views_;
    QString currentFolder_;
    QString currentMask_;
    QStringList folderFiles_;
    int shownPage_ = TabFile;
    bool firstShowDone_ = false;
    bool switchingBack_ = false;

    QLabel *labelHint_ = nullptr;
    QProgressBar *progressActFile_ = nullptr;
    QComboBox *cbDrive_ = nullptr;
    QTreeView *lbDir_ = nullptr;
    QFileSystemModel *dirModel_ = nullptr;
    QLabel *imgMini_ = nullptr;
    QComboBox *cbFilter_ = nullptr;
    QTabWidget *pageControl_ = nullptr;
    QMenu *extrasMenu_ = nullptr;
    CaptionPanel *panelDirectoryTop_ = nullptr;
    CaptionPanel *panelFilterTop_ = nullptr;
    QWidget *leftColumn_ = nullptr;
};

} // namespace velmora
