#pragma once
#include <QDialog>

namespace velmora {

// The about box: program name, version and what it is for. Closes on Esc.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
};

} // namespace velmora
