#include "app/form_help.h"

#include "foundation/prompts.h"
#include "render/page_view.h"

#include <QKeyEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

ViewOptions HelpViewOptions() {
    ViewOptions options;
    options.historyLength = 0;
    options.fixedFontName = u"Courier New"_s;
    return options;
}

} // namespace

TFormHelp::TFormHelp(RenderProfile &profile, QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"FormHelp"_s);
    setWindowTitle(u"Velmora - Help"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window does not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(778, 535);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    fvHelp_ = new PageView(profile, HelpViewOptions(), this);
    fvHelp_->setObjectName(u"FVHelp"_s);
    fvHelp_->setAccessibleName(u"Help"_s);
    layout->addWidget(fvHelp_);
    // The view gets the keys first; Esc is the window's.
    connect(fvHelp_, &PageView::KeyPressed, this, [this](QKeyEvent *event, bool *handled) {
        if (event->key() == Qt::Key_Escape) {
            *handled = true;
            close();
        }
    });
}

bool TFormHelp::LoadIndex(const QString &indexPath, Prompts &prompts) {
    QString error;
    if (fvHelp_->LoadFile(indexPath, &error))
        return true;
    prompts.ShowError(error.isEmpty() ? u"Can't locate file: "_s + indexPath : error);
    return false;
}

void TFormHelp::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velmora
