#include "app/report_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <utility>

#include "app/progress_delegate.h"

namespace orvendel {

ReportView::ReportView(QWidget* parent) : QTableWidget(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setDragEnabled(false);
  setItemDelegate(new ProgressDelegate(this));

  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

  // Header items are not buttons, but they can be dragged to another place;
  // that moves only where a column is drawn, never its column number.
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(false);
  header->setSectionsMovable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  focused_palette_ = palette();
  show_selection(false);
}

void ReportView::show_selection(bool shown) {
  if (shown) {
    setPalette(focused_palette_);
    return;
  }
  QPalette hidden = focused_palette_;
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    hidden.setColor(group, QPalette::Highlight, focused_palette_.color(group, QPalette::Base));
    hidden.setColor(group, QPalette::HighlightedText,
                    focused_palette_.color(group, QPalette::Text));
  }
  setPalette(hidden);
}

void ReportView::set_click_handler(std::function<void()> handler) {
  click_handler_ = std::move(handler);
}

void ReportView::mousePressEvent(QMouseEvent* event) {
  QTableWidget::mousePressEvent(event);
  // A press on the empty area has already dropped the selection.
  if (event->button() == Qt::LeftButton) left_pressed_ = true;
}

void ReportView::mouseReleaseEvent(QMouseEvent* event) {
  QTableWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !std::exchange(left_pressed_, false)) return;
  if (viewport()->rect().contains(event->position().toPoint()) && click_handler_) click_handler_();
}

void ReportView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableWidget::mouseDoubleClickEvent(event);
  // The first click of the pair has already counted.
  left_pressed_ = false;
}

void ReportView::focusInEvent(QFocusEvent* event) {
  show_selection(true);
  QTableWidget::focusInEvent(event);
}

void ReportView::focusOutEvent(QFocusEvent* event) {
  show_selection(false);
  QTableWidget::focusOutEvent(event);
}

}  // namespace orvendel
