#include "snapshot/window/colour_box.h"

#include <QPainter>
#include <QPixmap>

#include <array>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

struct NamedColour {
    const char16_t *name;
    ColorRef value;
};

constexpr std::array<NamedColour, 16> kStandardColours{{
    {u"Black", clBlack},
    {u"Maroon", clMaroon},
    {u"Green", clGreen},
    {u"Olive", clOlive},
    {u"Navy", clNavy},
    {u"Purple", clPurple},
    {u"Teal", clTeal},
    {u"Gray", clGray},
    {u"Silver", clSilver},
    {u"Red", clRed},
    {u"Lime", clLime},
    {u"Yellow", clYellow},
    {u"Blue", clBlue},
    {u"Fuchsia", clFuchsia},
    {u"Aqua", clAqua},
    {u"White", clWhite},
}};

// A swatch of the colour; clNone shows as white with a diagonal line.
QPixmap Swatch(ColorRef colour) {
    QPixmap pixmap(16, 12);
    const QColor fill = ColorFromRef(colour);
    pixmap.fill(fill.isValid() ? fill : QColor(Qt::white));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 11);
    if (!fill.isValid())
        painter.drawLine(0, 11, 15, 0);
    return pixmap;
}

} // namespace

ColourBox::ColourBox(ColorRef defaultValue, QWidget *parent) : QComboBox(parent) {
    AddEntry(u"Default"_s, defaultValue);
    for (const NamedColour &colour : kStandardColours)
        AddEntry(QString::fromUtf16(colour.name), colour.value);
    setCurrentIndex(0);
}

void ColourBox::AddEntry(const QString &text, ColorRef colour) {
    addItem(QIcon(Swatch(colour)), text, colour);
}

void ColourBox::SetColour(ColorRef colour) {
    int index = findData(colour);
    if (index < 0) {
        AddEntry(u"Custom"_s, colour);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

ColorRef ColourBox::Colour() const {
    return currentData().toInt();
}

} // namespace velmora
