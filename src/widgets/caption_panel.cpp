#include "widgets/caption_panel.h"

namespace velmora {

CaptionPanel::CaptionPanel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    setAlignment(Qt::AlignCenter);
    setFixedHeight(20);
    SetActive(false);
}

void CaptionPanel::SetActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    setStyleSheet(
        QStringLiteral("color: white; font-weight: bold; background: %1;")
            .arg(active ? QStringLiteral("rgb(0,128,128)") : QStringLiteral("rgb(128,128,128)")));
}

} // namespace velmora
