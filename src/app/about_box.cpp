#include "app/about_box.h"

#include "app/program.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmora {

AboutBox::AboutBox(QWidget *parent) : QDialog(parent) {
    setWindowTitle(AboutTitle);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(
        u"<h2>Velmora</h2><p>Version "_s + QLatin1StringView(ProgramVersion()) + u"</p>"_s, this);
    title->setAlignment(Qt::AlignCenter);
    auto *text =
        new QLabel(u"<p>Velmora browses web sites kept as folders on your disk: it previews pages, "
                   u"edits and formats their source, makes thumbnails and snapshots of them, and "
                   u"keeps searchable lists of their files.</p>"_s,
                   this);
    text->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

} // namespace velmora
