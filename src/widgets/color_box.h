#pragma once
// A colour box: a drop-down of the sixteen standard colours, each shown with
// a swatch and its name. A colour that is not among them (set by the
// program) is added as an entry of its own, so that the box always shows the
// value it holds.

#include "foundation/colors.h"

#include <QComboBox>

namespace velmora {

class ColorBox final : public QComboBox {
    Q_OBJECT
public:
    explicit ColorBox(QWidget *parent = nullptr);

    // clNone when nothing is selected.
    ColorRef Color() const;
    // Selects the colour without reporting ColorChosen; clNone selects
    // nothing.
    void SetColor(ColorRef color);

signals:
    // The user picked a colour.
    void ColorChosen(velmora::ColorRef color);

private:
    void AddEntry(ColorRef color, const QString &name);
};

} // namespace velmora
