#include "sitesearch/window/match_delegate.h"

#include <QApplication>
#include <QPainter>

namespace velmora {

void MatchDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const {
    const QVariant start = index.data(kBoldStartRole);
    if (!start.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The background, selection and focus as usual, then the text in three
    // runs: before, the occurrence in bold, after.
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const qsizetype from = std::clamp<qsizetype>(start.toLongLong(), 0, text.size());
    const qsizetype length =
        std::clamp<qsizetype>(index.data(kBoldLengthRole).toLongLong(), 0, text.size() - from);
    QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
    painter->save();
    painter->setClipRect(area);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    QFont bold = opt.font;
    bold.setBold(true);
    const struct {
        QString text;
        const QFont &font;
    } runs[] = {{text.left(from), opt.font},
                {text.mid(from, length), bold},
                {text.mid(from + length), opt.font}};
    for (const auto &run : runs) {
        painter->setFont(run.font);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, run.text);
        area.setLeft(area.left() + QFontMetrics(run.font).horizontalAdvance(run.text));
    }
    painter->restore();
}

} // namespace velmora
