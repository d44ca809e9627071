#pragma once
// The main window's menu bar: File, Options, Extras, Clean and Help, with
// the windows its entries open (help, browser settings, About, General
// Options). The entries that act on the window's files or folders are
// announced as signals.

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class QMenu;

namespace velmora {

class DesktopServices;
class FileDialogs;
class PageView;
class Program;
class Prompts;
class RenderProfile;

struct MainMenuServices {
    Program &program;
    Prompts &prompts;
    FileDialogs &dialogs;
    DesktopServices &desktop;
    RenderProfile *render = nullptr; // null: no help window and no browser settings
    PageView *browser = nullptr;     // the internal browser whose settings the menu shows
};

class MainMenu final : public QObject {
    Q_OBJECT
public:
    // Builds the menu in window's menu bar.
    MainMenu(const MainMenuServices &services, QMainWindow &window);

    // Disabled while nothing is selected in the active view. The window
    // places the snapshot command in it.
    QMenu *Extras() const { return extrasMenu_; }
    // The window places the thumbnail cleaning commands in it.
    QMenu *Clean() const { return cleanMenu_; }

    void ShowHelp();
    void ShowBrowserSettings();
    void ShowAbout();
    // Shows the General Options dialog modally; OptionsChanged follows OK.
    void ShowGeneralOptions();

signals:
    // After OK in General Options; a changed formatter style comes first.
    void FormatterStyleChosen();
    void OptionsChanged();

private:
    void Build();
    QAction *AddMenuEntry(QMenu *menu, const QString &caption, const QString &name,
                          std::function<void()> command);

    Program &program_;
    Prompts &prompts_;
    FileDialogs &dialogs_;
    DesktopServices &desktop_;
    RenderProfile *render_;
    PageView *browser_;
    QMainWindow &window_;
    QMenu *extrasMenu_ = nullptr;
    QMenu *cleanMenu_ = nullptr;
};

} // namespace velmora
