#pragma once
// A colour box of the snapshot options: a first entry "Default" standing for
// the box's own default value, then the sixteen standard colours, each with
// a swatch. A value that is none of these gets an entry "Custom" of its own.

#include "foundation/colors.h"

#include <QComboBox>

namespace velmora {

class ColourBox final : public QComboBox {
    Q_OBJECT
public:
    ColourBox(ColorRef defaultValue, QWidget *parent = nullptr);

    void SetColour(ColorRef colour);
    ColorRef Colour() const;

private:
    void AddEntry(const QString &text, ColorRef colour);
};

} // namespace velmora
