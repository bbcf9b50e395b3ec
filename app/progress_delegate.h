#pragma once
// How the cells of the window's list views are drawn: the text as usual and
// a transfer's progress behind it.

#include <QStyledItemDelegate>

namespace orvendel {

// Item data roles of a cell's progress: the Progress::Kind as an int, and the
// value, 0 to 1 (out-of-range values are drawn as the nearest end; NaN as 0).
inline constexpr int kProgressKindRole = Qt::UserRole + 1;
inline constexpr int kProgressValueRole = Qt::UserRole + 2;

class ProgressDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // kShare: a bar filled from the left edge over value of the cell's width.
  // kMoving: a block a fifth of the cell wide (at least 6 pixels) whose left
  // edge stands at value of the free width. The text is drawn over either.
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace orvendel
