#pragma once
// A colour box: a drop-down of the sixteen standard colours, each shown with
// a swatch and its name, optionally after a first entry "Default" standing
// for a default value of the box's own. A colour that is none of these (set
// by the program) is added as an entry of its own, so that the box always
// shows the value it holds.

#include "foundation/colors.h"

#include <QComboBox>

#include <optional>

namespace velmora {

class ColorBox final : public QComboBox {
    Q_OBJECT
public:
    // Without a default entry nothing is selected at first; with one, that
    // entry is.
    explicit ColorBox(QWidget *parent = nullptr,
                      std::optional<ColorRef> defaultEntry = std::nullopt);

    // clNone when nothing is selected.
    ColorRef Color() const;
    // Selects the colour (the default entry when it holds it) without
    // reporting ColorChosen; clNone, unless the default entry holds it,
    // selects nothing.
    void SetColor(ColorRef color);

signals:
    // The user picked a colour.
    void ColorChosen(velmora::ColorRef color);

private:
    void AddEntry(ColorRef color, const QString &name);
};

} // namespace velmora
