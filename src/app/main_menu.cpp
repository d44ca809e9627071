#include "app/main_menu.h"

#include "app/about_box.h"
#include "app/font_form.h"
#include "app/form_help.h"
#include "app/general_options.h"
#include "app/program.h"
#include "formatter/formatter_style.h"
#include "foundation/desktop_services.h"
#include "foundation/prompts.h"

#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

MainMenu::MainMenu(const MainMenuServices &services, QMainWindow &window)
    : program_(services.program), prompts_(services.prompts), dialogs_(services.dialogs),
      desktop_(services.desktop), render_(services.render), browser_(services.browser),
      window_(window) {
    Build();
}

QAction *MainMenu::AddMenuEntry(QMenu *menu, const QString &caption, const QString &name,
                                std::function<void()> command) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    return action;
}

void MainMenu::Build() {
    QMenuBar *bar = window_.menuBar();
    bar->setObjectName(u"MainMenu1"_s);

    QMenu *file = bar->addMenu(u"&File"_s);
    AddMenuEntry(file, u"&Close Velmora"_s, u"Close1"_s, [this] { window_.close(); });

    QMenu *options = bar->addMenu(u"&Options"_s);
    AddMenuEntry(options, u"&General Options"_s, u"GeneralOptions1"_s,
                 [this] { ShowGeneralOptions(); });
    AddMenuEntry(options, u"&Temporary Browser Settings"_s, u"BrowserOptions1"_s,
                 [this] { ShowBrowserSettings(); });

    extrasMenu_ = bar->addMenu(u"&Extras"_s);
    extrasMenu_->setObjectName(u"SnapShot1"_s);
    extrasMenu_->setEnabled(false);
    extrasMenu_->menuAction()->setEnabled(false);

    cleanMenu_ = bar->addMenu(u"&Clean"_s);

    QMenu *help = bar->addMenu(u"&Help"_s);
    AddMenuEntry(help, u"&Show Help"_s, u"Sh1"_s, [this] { ShowHelp(); });
    AddMenuEntry(help, u"&Velmora Hompage"_s, u"VelmoraHompage1"_s,
                 [this] { desktop_.OpenUrl(QUrl(HomePageUrl)); });
    help->addSeparator();
    AddMenuEntry(help, u"&About"_s, u"About2"_s, [this] { ShowAbout(); });
}

// A new help window each time, owned by the main window until the user
// closes it. Without a rendering engine (tests of the window's logic) the
// pages open in the default web browser instead.
void MainMenu::ShowHelp() {
    const QString index = program_.Folders().ShippedPath(u"HELP/index.htm"_s);
    if (!render_) {
        desktop_.OpenUrl(QUrl::fromLocalFile(index));
        return;
    }
    auto *help = new TFormHelp(*render_, &window_);
    help->LoadIndex(index, prompts_);
    help->show();
}

// The settings belong to the internal browser; captures copy them from it.
void MainMenu::ShowBrowserSettings() {
    if (!browser_ || !render_) {
        prompts_.ShowInfo(u"There is no internal browser to set."_s);
        return;
    }
    TFontForm::RunOn(*browser_, *render_, &window_);
}

void MainMenu::ShowAbout() {
    AboutBox box(&window_);
    box.exec();
}

void MainMenu::ShowGeneralOptions() {
    TFormGenOpt dialog(program_.Config(), prompts_, dialogs_, &window_,
                       FormatterStyleNames(program_.Folders().StyleDir));
    const QString styleBefore = program_.Config().StyleName;
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A newly chosen formatter style is used from now on, not only after
    // the next start.
    if (program_.Config().StyleName != styleBefore)
        emit FormatterStyleChosen();
    emit OptionsChanged();
}

} // namespace velmora
