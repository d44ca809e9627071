#pragma once
// The working values of the browser settings dialog, apart from its widgets:
// what the dialog takes from the internal browser, the copy that Reset
// brings back, and what OK hands to the browser. The values last only while
// the program runs; nothing here reaches prg.ini.

#include "render/display_settings.h"

#include <QStringList>

#include <array>

namespace velmora {

// The name the font list shows for a font it does not hold.
inline const QString kSystemFontName = QStringLiteral("System");

// The six values, named so that the orders below can be written down.
enum class DisplayField { FontName, FontColor, FontSize, LinkColor, Background, ShowImages };
using FieldOrder = std::array<DisplayField, 6>;

// The order in which the dialog takes the browser's values.
inline constexpr FieldOrder kReceiveOrder{DisplayField::FontName,   DisplayField::FontColor,
                                          DisplayField::FontSize,   DisplayField::LinkColor,
                                          DisplayField::Background, DisplayField::ShowImages};
// The order in which Reset restores them.
inline constexpr FieldOrder kResetOrder{DisplayField::FontName,   DisplayField::FontSize,
                                        DisplayField::FontColor,  DisplayField::LinkColor,
                                        DisplayField::Background, DisplayField::ShowImages};

// Copies one value from `from` into `to`.
void CopyField(DisplayField field, const DisplaySettings &from, DisplaySettings &to);

// The installed font families, sorted without regard to case, with "System"
// added when the system has no family of that name.
QStringList FontListEntries(QStringList families);

// The installed families, with `wanted` added when the system has no family
// of that name but draws it with another installed family (drawnWith) than
// it draws "System" with (systemDrawnWith): the names pages ask for, such as
// "Times New Roman", often come as a metric-compatible family under another
// name. Without it, OK would hand the browser "System" in place of a font
// it was showing.
QStringList WithSubstitutedFamily(QStringList families, const QString &wanted,
                                  const QString &drawnWith, const QString &systemDrawnWith);

class BrowserSettingsModel {
public:
    explicit BrowserSettingsModel(QStringList fontList);

    const QStringList &FontList() const { return fontList_; }
    // The list entry that names fontName, compared without regard to case;
    // "System" when none does.
    QString ListEntryFor(const QString &fontName) const;

    // Takes the browser's values: the list selects the matching entry (or
    // "System"), while the sample keeps the name as given.
    void Receive(const DisplaySettings &browser);
    // The copy for Reset, taken when the dialog is shown: the font name as
    // the list's current selection.
    void TakeResetCopy();
    // Brings the copy back.
    void Reset();

    // The values the sample shows now.
    const DisplaySettings &Working() const { return working_; }
    // The list's selection; empty when no entry is selected.
    const QString &SelectedFont() const { return selectedFont_; }

    // The user's changes. A font name outside the list selects nothing.
    void SelectFont(const QString &entry);
    void SetFontSize(int points);
    void SetFontColor(ColorRef color) { working_.fontColor = color; }
    void SetLinkColor(ColorRef color) { working_.linkColor = color; }
    void SetBackgroundColor(ColorRef color) { working_.backgroundColor = color; }
    void SetShowImages(bool show) { working_.showImages = show; }

    // What OK hands to the browser: the working values, with the font name
    // the list's selection ("System" when nothing is selected).
    DisplaySettings Result() const;

    static constexpr int kMinFontSize = 6;
    static constexpr int kMaxFontSize = 24;

private:
    QStringList fontList_;
    DisplaySettings working_;
    QString selectedFont_;
    DisplaySettings resetCopy_;
};

} // namespace velmora
