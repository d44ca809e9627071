#pragma once
// Draws a result row's text with the occurrence in bold. The row keeps where
// the occurrence starts and how long it is in two item data roles.

#include <QStyledItemDelegate>

namespace velmora {

inline constexpr int kBoldStartRole = Qt::UserRole + 10;
inline constexpr int kBoldLengthRole = Qt::UserRole + 11;

class MatchDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace velmora
