#include "widgets/color_box.h"

#include <QPixmap>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

struct NamedColor {
    ColorRef color;
    const char16_t *name;
};

constexpr NamedColor kStandardColors[] = {
    {clBlack, u"Black"},   {clMaroon, u"Maroon"},   {clGreen, u"Green"}, {clOlive, u"Olive"},
    {clNavy, u"Navy"},     {clPurple, u"Purple"},   {clTeal, u"Teal"},   {clGray, u"Gray"},
    {clSilver, u"Silver"}, {clRed, u"Red"},         {clLime, u"Lime"},   {clYellow, u"Yellow"},
    {clBlue, u"Blue"},     {clFuchsia, u"Fuchsia"}, {clAqua, u"Aqua"},   {clWhite, u"White"},
};

QPixmap Swatch(ColorRef color) {
    QPixmap swatch(16, 12);
    swatch.fill(ColorFromRef(color));
    return swatch;
}

} // namespace

ColorBox::ColorBox(QWidget *parent) : QComboBox(parent) {
    for (const NamedColor &entry : kStandardColors)
        AddEntry(entry.color, QString::fromUtf16(entry.name));
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this] { emit ColorChosen(Color()); });
}

void ColorBox::AddEntry(ColorRef color, const QString &name) {
    addItem(QIcon(Swatch(color)), name, color);
}

ColorRef ColorBox::Color() const {
    return currentIndex() < 0 ? clNone : currentData().toInt();
}

void ColorBox::SetColor(ColorRef color) {
    const QSignalBlocker quiet(this);
    if (!ColorFromRef(color).isValid()) {
        setCurrentIndex(-1);
        return;
    }
    int index = findData(color);
    if (index < 0) {
        const QColor custom = ColorFromRef(color);
        AddEntry(color, custom.name(QColor::HexRgb).toUpper());
        index = count() - 1;
    }
    setCurrentIndex(index);
}

} // namespace velmora
