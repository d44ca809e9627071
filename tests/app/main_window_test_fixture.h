#pragma once
// The main window with stand-ins for its three tab views and its document,
// shared by the tests of the window and of its file commands.

#include "main_window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QListView>
#include <QTest>
#include <QWidget>

#include <optional>

namespace velmora::testing {

// Stands in for a tab's view: the test sets its counts and current file.
class FakeView final : public TabView {
public:
    QWidget *Widget() override { return &widget; }
    int Count() const override { return count; }
    int SelectedCount() const override { return selected; }
    QString CurrentFile() const override { return current; }
    QStringList SelectedFiles() const override { return {}; }
    QString ViewFile(int, bool) const override { return {}; }
    void Select(int n, int of, const QString &file = {}) {
        selected = n;
        count = of;
        current = file;
        emit selectionChanged();
    }
    void SetShowIcons(bool show) override { icons = show; }
    std::optional<bool> icons;
    QWidget widget;
    int count = 0;
    int selected = 0;
    QString current;
};

// The document also counts the reloads, and holds no file but the one a
// test sets: the questions depend on the test alone.
class FakeDocument final : public AnsweringDocument {
public:
    using AnsweringDocument::AnsweringDocument;
    void ReloadFromDisk() override { ++reloads; }
    void Load(const QString &) override {}
    int reloads = 0;
};

// The Folder View's file list of w.
inline QListView *FileListOf(TForm1 &w) {
    return w.findChild<QListView *>(QStringLiteral("LBFile"));
}

class MainWindowTest : public MainWindowFixture {
protected:
    FakeDocument document{prompts};
    FakeView *folder = nullptr, *thumbs = nullptr, *lists = nullptr;
    int dialogsShown = 0; // dialogs of the File Lists tab, all cancelled

    QString IniPath() const { return ProgramDir() + QStringLiteral("prg.ini"); }

    // Creates, shows and activates the main window with stand-in views, as
    // the event loop would.
    std::unique_ptr<TForm1> OpenWindow() {
        MainWindowServices services = Services(nullptr, &document);
        MainWindowViews views;
        auto f = std::make_unique<FakeView>();
        auto t = std::make_unique<FakeView>();
        auto l = std::make_unique<FakeView>();
        folder = f.get();
        thumbs = t.get();
        lists = l.get();
        views.folder = std::move(f);
        views.thumbs = std::move(t);
        views.lists = std::move(l);
        auto w = std::make_unique<TForm1>(services, std::move(views));
        EXPECT_TRUE(w->StartingUp());
        EXPECT_TRUE(ShowAndActivate(*w));
        EXPECT_FALSE(w->StartingUp());
        return w;
    }

    QStringList IniLines() const {
        QFile f(IniPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // The window with the views it makes itself, not the test's stand-ins.
    std::unique_ptr<TForm1> OpenWindowWithItsOwnViews(std::optional<QStringList> arguments = {}) {
        MainWindowServices services = Services(nullptr, &document);
        services.arguments = std::move(arguments);
        services.runDialog = [this](QDialog &) {
            ++dialogsShown;
            return int(QDialog::Rejected);
        };
        auto w = std::make_unique<TForm1>(services);
        EXPECT_TRUE(ShowAndActivate(*w));
        return w;
    }

    static QAction *Entry(TForm1 &w, const QString &name) { return w.findChild<QAction *>(name); }
};

} // namespace velmora::testing
