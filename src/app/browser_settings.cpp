#include "app/browser_settings.h"

#include <algorithm>

namespace velmora {

void CopyField(DisplayField field, const DisplaySettings &from, DisplaySettings &to) {
    switch (field) {
    case DisplayField::FontName:
        to.fontName = from.fontName;
        break;
    case DisplayField::FontColor:
        to.fontColor = from.fontColor;
        break;
    case DisplayField::FontSize:
        to.fontSize = from.fontSize;
        break;
    case DisplayField::LinkColor:
        to.linkColor = from.linkColor;
        break;
    case DisplayField::Background:
        to.backgroundColor = from.backgroundColor;
        break;
    case DisplayField::ShowImages:
        to.showImages = from.showImages;
        break;
    }
}

QStringList FontListEntries(QStringList families) {
    families.removeDuplicates();
    families.removeAll(QString());
    if (!families.contains(kSystemFontName, Qt::CaseInsensitive))
        families << kSystemFontName;
    std::stable_sort(families.begin(), families.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return families;
}

QStringList WithSubstitutedFamily(QStringList families, const QString &wanted,
                                  const QString &drawnWith, const QString &systemDrawnWith) {
    if (wanted.isEmpty() || families.contains(wanted, Qt::CaseInsensitive))
        return families;
    if (drawnWith.compare(systemDrawnWith, Qt::CaseInsensitive) != 0 &&
        families.contains(drawnWith, Qt::CaseInsensitive))
        families << wanted;
    return families;
}

BrowserSettingsModel::BrowserSettingsModel(QStringList fontList) : fontList_(std::move(fontList)) {}

QString BrowserSettingsModel::ListEntryFor(const QString &fontName) const {
    for (const QString &entry : fontList_) {
        if (entry.compare(fontName, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return kSystemFontName;
}

void BrowserSettingsModel::Receive(const DisplaySettings &browser) {
    for (DisplayField field : kReceiveOrder)
        CopyField(field, browser, working_);
    working_.fontSize = std::clamp(working_.fontSize, kMinFontSize, kMaxFontSize);
    const QString entry = ListEntryFor(browser.fontName);
    // "System" is selected only when the list holds it.
    selectedFont_ = fontList_.contains(entry) ? entry : QString();
}

void BrowserSettingsModel::TakeResetCopy() {
    resetCopy_ = working_;
    resetCopy_.fontName = selectedFont_.isEmpty() ? kSystemFontName : selectedFont_;
}

void BrowserSettingsModel::Reset() {
    for (DisplayField field : kResetOrder)
        CopyField(field, resetCopy_, working_);
    selectedFont_ = fontList_.contains(resetCopy_.fontName) ? resetCopy_.fontName : QString();
}

void BrowserSettingsModel::SelectFont(const QString &entry) {
    if (!fontList_.contains(entry)) {
        selectedFont_.clear();
        return;
    }
    selectedFont_ = entry;
    working_.fontName = entry;
}

void BrowserSettingsModel::SetFontSize(int points) {
    working_.fontSize = std::clamp(points, kMinFontSize, kMaxFontSize);
}

DisplaySettings BrowserSettingsModel::Result() const {
    DisplaySettings result = working_;
    result.fontName = selectedFont_.isEmpty() ? kSystemFontName : selectedFont_;
    return result;
}

} // namespace velmora
