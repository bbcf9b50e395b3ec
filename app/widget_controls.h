#pragma once
// The control operations carried out on the window's widgets, from any
// thread.

#include <QObject>
#include <array>
#include <cstddef>
#include <type_traits>

#include "catalogue/controls.h"

class QTableWidgetItem;
class QWidget;

namespace orvendel {

class ReportView;

// The number of controls, one per enumerator of Control.
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::超级列表框2) + 1;

// Each operation runs on the GUI thread (the thread of the widgets): directly
// when called there, inside run_as_one_step included, and otherwise by a
// blocking call that the GUI thread's event loop carries out, so it is
// complete when it returns. The GUI thread never waits for a worker, so a
// worker that calls while the GUI thread handles an event only waits for
// that event to end.
//
// An operation on a control of the wrong kind (table_clear(Control::按钮1))
// does nothing and gives the empty answer: "", 0 rows, -1, false.
class WidgetControls final : public Controls {
 public:
  // widgets[i] is the widget of the Control whose value is i; none may be null.
  explicit WidgetControls(const std::array<QWidget*, kControlCount>& widgets);

  void table_add_column(Control list, const Text& title, int width) override;
  void table_clear(Control list) override;
  int table_append_row(Control list) override;
  void table_set_cell(Control list, int row, int column, const Text& text) override;
  Text table_get_cell(Control list, int row, int column) override;
  int table_row_count(Control list) override;
  int table_selected_row(Control list) override;
  void table_set_progress(Control list, int row, int column, Progress progress) override;
  // The entry is added without choosing it: after adding to an empty
  // selector, selector_chosen_index is still -1 and the edit field empty.
  void selector_clear(Control selector) override;
  int selector_add(Control selector, const Text& text, int value) override;
  int selector_chosen_index(Control selector) override;
  int selector_value(Control selector, int index) override;
  bool radio_checked(Control radio) override;
  Text edit_text(Control edit) override;
  void set_caption(Control group, const Text& text) override;
  // Re-entrant: a step may call run_as_one_step again.
  void run_as_one_step(const std::function<void()>& step) override;

  // Whether a run_as_one_step is running on the GUI thread; the window's
  // process-events hook stays idle then, so a step stays one step.
  bool in_step() const { return step_depth_ > 0; }

 private:
  // Runs op on the GUI thread and gives its result.
  template <typename Op>
  std::invoke_result_t<Op&> on_gui_thread(Op op);

  template <typename Widget>
  Widget* widget_as(Control control) const;
  // The cell's item, made when the cell exists but has none yet; null when
  // the cell does not exist.
  static QTableWidgetItem* cell_item(ReportView* view, int row, int column);

  std::array<QWidget*, kControlCount> widgets_;
  QObject* gui_;  // carries the blocking calls; lives on the GUI thread
  int step_depth_ = 0;
};

}  // namespace orvendel
