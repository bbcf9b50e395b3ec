#pragma once
// A report-style list view: rows of cells under a header, whole rows
// selected, one at most, grid lines, no sorting, no editing, no check boxes.

#include <QPalette>
#include <QTableWidget>
#include <functional>

namespace orvendel {

class ReportView final : public QTableWidget {
 public:
  explicit ReportView(QWidget* parent = nullptr);

  // handler runs after every left-button click inside the rows area, once the
  // click has done its work on the selection: a click on a row has selected
  // it (clicking the selected row again runs handler again), a click on the
  // empty area below or beside the rows has left no row selected. A
  // double-click counts as one click; clicks on the header, the scroll bars
  // and with other buttons run nothing.
  void set_click_handler(std::function<void()> handler);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The selection is drawn only while the view has the focus: without it the
  // highlight colours are those of unselected cells.
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void show_selection(bool shown);

  std::function<void()> click_handler_;
  QPalette focused_palette_;
  bool left_pressed_ = false;  // a left press in the rows area awaits its release
};

}  // namespace orvendel
