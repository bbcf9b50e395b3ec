#include "app/progress_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "catalogue/controls.h"

namespace orvendel {
namespace {

const QColor kBarColour(140, 205, 140);

double clamped(double value) { return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0); }

// The part of the cell the progress covers; empty for Kind::kNone.
QRect progress_rect(const QRect& cell, Progress::Kind kind, double value) {
  switch (kind) {
    case Progress::Kind::kShare:
      return QRect(cell.left(), cell.top(), static_cast<int>(std::lround(cell.width() * value)),
                   cell.height());
    case Progress::Kind::kMoving: {
      const int block = std::min(cell.width(), std::max(6, cell.width() / 5));
      const int left = cell.left() + static_cast<int>(std::lround((cell.width() - block) * value));
      return QRect(left, cell.top(), block, cell.height());
    }
    case Progress::Kind::kNone:
      break;
  }
  return QRect();
}

}  // namespace

void ProgressDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);

  const auto kind = static_cast<Progress::Kind>(index.data(kProgressKindRole).toInt());
  const QRect bar = progress_rect(opt.rect.adjusted(1, 1, -1, -1), kind,
                                  clamped(index.data(kProgressValueRole).toDouble()));
  QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
  if (bar.isEmpty()) {
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    return;
  }

  // Background (and selection), then the bar, then the text over both: the
  // text pass must not paint a background again.
  style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);
  painter->fillRect(bar, kBarColour);
  QStyleOptionViewItem text = opt;
  text.backgroundBrush = Qt::NoBrush;
  if (text.state & QStyle::State_Selected) {
    text.state &= ~QStyle::State_Selected;
    const auto group = (text.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    text.palette.setColor(QPalette::Text, opt.palette.color(group, QPalette::HighlightedText));
  }
  style->drawControl(QStyle::CE_ItemViewItem, &text, painter, opt.widget);
}

}  // namespace orvendel
