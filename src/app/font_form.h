#pragma once
// The browser settings dialog ("Temporary Browser Settings"): default font,
// font size, text, link and background colours, and whether pictures show.
// A sample page shows every change at once; OK hands the values to the
// internal browser, which renders its page again with them (and page
// captures copy them from there). Nothing is stored in prg.ini.

#include "app/browser_settings.h"

#include <QDialog>

class QCheckBox;
class QGridLayout;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace velmora {

class ColorBox;
class PageView;
class RenderProfile;

// The fixed sample page of the dialog.
extern const QString kFontSampleHtml;

class TFontForm final : public QDialog {
    Q_OBJECT
public:
    // fontFamilies: the installed families (tests give their own).
    TFontForm(RenderProfile &profile, const QStringList &fontFamilies, QWidget *parent = nullptr);
    ~TFontForm() override;

    // Takes the browser's current values into the dialog and the sample.
    void SetBrowserValues(const DisplaySettings &browser);
    // The values OK hands to the browser.
    DisplaySettings Result() const { return model_.Result(); }
    const BrowserSettingsModel &Model() const { return model_; }
    PageView *FontViewer() const { return fontViewer_; }

    // Runs the dialog modally on the internal browser. On OK the browser
    // takes the values and renders its current page again; on Cancel or the
    // close box it is left as it was. True on OK.
    static bool RunOn(PageView &browser, RenderProfile &profile, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *BuildChoices();
    QWidget *BuildButtons();
    ColorBox *AddColorBox(const QString &name, const QString &caption, QGridLayout *grid, int row,
                          void (BrowserSettingsModel::*set)(ColorRef));
    // Controls and sample follow the working values.
    void ShowValues();
    void ShowSample();
    void ResetButtonClick();

    BrowserSettingsModel model_;
    QListWidget *fontListBox_ = nullptr;
    QSpinBox *fontSizeEdit_ = nullptr;
    ColorBox *rzFontColor_ = nullptr;
    ColorBox *rzLinkColor_ = nullptr;
    ColorBox *rzBGColor_ = nullptr;
    QCheckBox *cbShowImages_ = nullptr;
    PageView *fontViewer_ = nullptr;
    QPushButton *okButton_ = nullptr;
    bool showing_ = false; // controls are being set by the program
};

} // namespace velmora
