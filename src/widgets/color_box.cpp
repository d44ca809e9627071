#include "widgets/color_box.h"

#include <QPainter>
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

// A framed swatch of the colour; clNone shows as white, struck through.
QPixmap Swatch(ColorRef color) {
    QPixmap swatch(16, 12);
    const QColor fill = ColorFromRef(color);
    swatch.fill(fill.isValid() ? fill : QColor(Qt::white));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    if (!fill.isValid())
        painter.drawLine(0, 11, 15, 0);
    return swatch;
}

} // namespace

ColorBox::ColorBox(QWidget *parent, std::optional<ColorRef> defaultEntry) : QComboBox(parent) {
    if (defaultEntry)
        AddEntry(*defaultEntry, u"Default"_s);
    for (const NamedColor &entry : kStandardColors)
        AddEntry(entry.color, QString::fromUtf16(entry.name));
    setCurrentIndex(defaultEntry ? 0 : -1);
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
    int index = findData(color);
    if (index < 0 && !ColorFromRef(color).isValid()) {
        setCurrentIndex(-1);
        return;
    }
    if (index < 0) {
        const QColor custom = ColorFromRef(color);
        AddEntry(color, custom.name(QColor::HexRgb).toUpper());
        index = count() - 1;
    }
    setCurrentIndex(index);
}

} // namespace velmora
