// The browser settings: the working values and the "System" rule, the dialog
// with its sample and Reset, and OK or Cancel through the main window on the
// internal browser and the thumbnails made after.
#include "app/browser_settings.h"
#include "app/font_form.h"
#include "app/main_window.h"
#include "editor/window/form_view.h"
#include "foundation/desktop_services.h"
#include "main_window_fixture.h"
#include "render/page_view.h"
#include "render/render_profile.h"
#include "scripted_prompts.h"
#include "temp_files.h"
#include "thumbs/thumbnail_cache.h"
#include "thumbs/thumbnail_store.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velmora;
using velmora::testing::MainWindowFixture;
using velmora::testing::ScriptedPrompts;
using velmora::testing::WriteBytes;
using namespace Qt::StringLiterals;

namespace {

const QStringList kFamilies{u"Liberation Serif"_s, u"Arial"_s, u"DejaVu Sans"_s};

DisplaySettings Browser(const QString &font, int size = 12) {
    DisplaySettings display;
    display.fontName = font;
    display.fontSize = size;
    return display;
}

// ---- working values, without widgets --------------------------------------

TEST(BrowserSettingsModel, TheFontListIsSortedWithSystemAddedOnce) {
    EXPECT_EQ(FontListEntries(kFamilies),
              (QStringList{u"Arial"_s, u"DejaVu Sans"_s, u"Liberation Serif"_s, u"System"_s}));
    EXPECT_EQ(FontListEntries({u"system"_s, u"b"_s, u"A"_s}),
              (QStringList{u"A"_s, u"b"_s, u"system"_s}));
}

TEST(BrowserSettingsModel, AFontOutsideTheListSelectsSystemWhileTheSampleKeepsIt) {
    BrowserSettingsModel model(FontListEntries(kFamilies));
    model.Receive(Browser(u"arial"_s));
    EXPECT_EQ(model.SelectedFont(), u"Arial"_s); // without regard to case
    EXPECT_EQ(model.Result().fontName, u"Arial"_s);

    model.Receive(Browser(u"Times New Roman"_s));
    EXPECT_EQ(model.SelectedFont(), u"System"_s);
    EXPECT_EQ(model.Working().fontName, u"Times New Roman"_s);
    EXPECT_EQ(model.Result().fontName, u"System"_s);
    model.SelectFont(u"DejaVu Sans"_s);
    EXPECT_EQ(model.Result().fontName, u"DejaVu Sans"_s);
}

// "Times New Roman" drawn with its metric-compatible stand-in is kept on OK;
// a name drawn as "System" is, or one drawn with a family not installed.
TEST(BrowserSettingsModel, ANameDrawnWithAnotherInstalledFamilyIsOffered) {
    const QStringList list = FontListEntries(WithSubstitutedFamily(
        kFamilies, u"Times New Roman"_s, u"Liberation Serif"_s, u"DejaVu Sans"_s));
    BrowserSettingsModel model(list);
    model.Receive(Browser(u"Times New Roman"_s));
    EXPECT_EQ(model.SelectedFont(), u"Times New Roman"_s);
    EXPECT_EQ(model.Result().fontName, u"Times New Roman"_s);

    EXPECT_EQ(WithSubstitutedFamily(kFamilies, u"Nowhere"_s, u"DejaVu Sans"_s, u"DejaVu Sans"_s),
              kFamilies);
    EXPECT_EQ(WithSubstitutedFamily(kFamilies, u"Nowhere"_s, u"Gone"_s, u"DejaVu Sans"_s),
              kFamilies);
    EXPECT_EQ(WithSubstitutedFamily(kFamilies, u"arial"_s, u"Arial"_s, u"DejaVu Sans"_s),
              kFamilies); // already there, in another case
}

TEST(BrowserSettingsModel, NoSelectionGivesSystemOnOk) {
    BrowserSettingsModel model({u"Arial"_s}); // a list without "System"
    model.Receive(Browser(u"Courier"_s));
    EXPECT_TRUE(model.SelectedFont().isEmpty());
    EXPECT_EQ(model.Result().fontName, u"System"_s);
}

TEST(BrowserSettingsModel, ResetBringsBackTheValuesOfTheShowWithTheListsFont) {
    BrowserSettingsModel model(FontListEntries(kFamilies));
    DisplaySettings browser = Browser(u"Unknown Face"_s, 10);
    browser.linkColor = clRed;
    browser.showImages = false;
    model.Receive(browser);
    model.TakeResetCopy();
    model.SetFontSize(24);
    model.SelectFont(u"Arial"_s);
    model.SetLinkColor(clGreen);
    model.SetBackgroundColor(clYellow);
    model.SetShowImages(true);
    model.Reset();
    DisplaySettings expected = browser;
    expected.fontName = u"System"_s; // as the list showed it
    EXPECT_EQ(model.Working(), expected);
    EXPECT_EQ(model.SelectedFont(), u"System"_s);
}

TEST(BrowserSettingsModel, SizesStayInsideTheBox) {
    BrowserSettingsModel model(kFamilies);
    model.SetFontSize(99);
    EXPECT_EQ(model.Working().fontSize, 24);
    model.SetFontSize(1);
    EXPECT_EQ(model.Working().fontSize, 6);
}

// ---- the dialog with its sample -------------------------------------------

class FontFormTest : public ::testing::Test {
protected:
    RenderProfile profile;
};

TEST_F(FontFormTest, EveryChangeReachesTheSampleAndResetBringsBackTheOpeningSize) {
    TFontForm form(profile, kFamilies);
    form.SetBrowserValues(Browser(u"Arial"_s, 14));
    form.show();
    auto *size = form.findChild<QSpinBox *>(u"FontSizeEdit"_s);
    auto *fonts = form.findChild<QListWidget *>(u"FontListBox"_s);
    auto *images = form.findChild<QCheckBox *>(u"CBShowImages"_s);
    ASSERT_TRUE(size && fonts && images);
    EXPECT_EQ(size->value(), 14);
    EXPECT_EQ(fonts->currentItem()->text(), u"Arial"_s);
    EXPECT_EQ(size->minimum(), 6);
    EXPECT_EQ(size->maximum(), 24);

    size->setValue(24);
    EXPECT_EQ(form.FontViewer()->Display().fontSize, 24);
    fonts->setCurrentRow(fonts->count() - 1); // "System"
    EXPECT_EQ(form.FontViewer()->Display().fontName, u"System"_s);
    images->setChecked(false);
    EXPECT_FALSE(form.FontViewer()->Display().showImages);

    form.findChild<QPushButton *>(u"ResetButton"_s)->click();
    EXPECT_EQ(size->value(), 14);
    EXPECT_EQ(form.FontViewer()->Display(), Browser(u"Arial"_s, 14));
    EXPECT_EQ(fonts->currentItem()->text(), u"Arial"_s);
    EXPECT_TRUE(images->isChecked());
}

// ---- OK and Cancel on the internal browser ---------------------------------

constexpr QRgb kPictureColour = qRgb(0, 170, 0);

class BrowserSettingsWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartProgram();
        program->Config().ThumbBaseIndex = 0;
        window = MakeWindow(Services(&profile));
    }

    // A white page filled by a big green picture.
    QString PictureView() {
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(kPictureColour);
        const QString folder = dir.filePath(u"site"_s);
        QDir().mkpath(folder);
        EXPECT_TRUE(picture.save(folder + u"/green.png"_s));
        const QString page = folder + u"/page.htm"_s;
        WriteBytes(page, "<body style='margin:0;background:white'><img src='green.png' "
                         "width=1600 height=1200></body>");
        return page;
    }

    // Opens the dialog through the menu; `act` runs on it once it is shown.
    // The dialog loads its sample before it shows, so the test looks again
    // until the dialog is the modal window.
    void RunDialog(const std::function<void(TFontForm &)> &act) {
        bool seen = false;
        QTimer look;
        look.setInterval(10);
        QObject::connect(&look, &QTimer::timeout, [&] {
            auto *form = qobject_cast<TFontForm *>(QApplication::activeModalWidget());
            if (!form || !form->isVisible())
                return;
            look.stop();
            seen = true;
            act(*form);
        });
        look.start();
        window->findChild<QAction *>(u"BrowserOptions1"_s)->trigger();
        EXPECT_TRUE(seen);
    }

    int PictureColouredPixels(const QImage &image) const {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.green() > 120 && c.red() < 90 && c.blue() < 90)
                    ++count;
            }
        return count;
    }

    QImage ThumbnailOf(const QString &page) {
        window->JumpToFileAndFolder(page);
        auto *list = window->findChild<QAbstractItemView *>(u"LBFile"_s);
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                QItemSelectionModel::ClearAndSelect);
        window->Commands().Add_Remove(FileCommands::ModeMake);
        Picture picture;
        EXPECT_TRUE(
            ThumbnailCache::DecodeThumbnailFile(window->Thumbnails().ThumbPathOf(page), &picture));
        return picture;
    }

    RenderProfile profile;
};

TEST_F(BrowserSettingsWindowTest, CancelAfterChangesLeavesTheBrowserAsItWas) {
    PageView *browser = window->Preview().FormView()->FrameViewer1();
    const DisplaySettings before = browser->Display();
    RunDialog([](TFontForm &form) {
        form.findChild<QSpinBox *>(u"FontSizeEdit"_s)->setValue(22);
        form.findChild<QCheckBox *>(u"CBShowImages"_s)->setChecked(false);
        form.findChild<QPushButton *>(u"Cancel"_s)->click();
    });
    EXPECT_EQ(browser->Display(), before);
    // The close box is a Cancel too.
    RunDialog([](TFontForm &form) {
        form.findChild<QSpinBox *>(u"FontSizeEdit"_s)->setValue(7);
        form.close();
    });
    EXPECT_EQ(browser->Display(), before);
}

TEST_F(BrowserSettingsWindowTest, OkWithPicturesOffGivesThumbnailsWithoutPictures) {
    const QString page = PictureView();
    EXPECT_GT(PictureColouredPixels(ThumbnailOf(page)), 1000); // the picture shows at first

    RunDialog([](TFontForm &form) {
        form.findChild<QSpinBox *>(u"FontSizeEdit"_s)->setValue(18);
        form.findChild<QCheckBox *>(u"CBShowImages"_s)->setChecked(false);
        form.findChild<QPushButton *>(u"OKButton"_s)->click();
    });
    PageView *browser = window->Preview().FormView()->FrameViewer1();
    EXPECT_FALSE(browser->Display().showImages);
    EXPECT_EQ(browser->Display().fontSize, 18);
    EXPECT_EQ(PictureColouredPixels(ThumbnailOf(page)), 0);
    EXPECT_TRUE(prompts.calls.isEmpty());
}

} // namespace
