#pragma once
// The controls as a job sees them: once the job is superseded, writes do
// nothing and reads give their empty answers. The test and the operation
// happen in one step of the window, so no write of a superseded job can land
// after the handler that superseded it.

#include "catalogue/controls.h"
#include "catalogue/shared_state.h"

namespace orvendel {

class GuardedControls final : public Controls {
 public:
  GuardedControls(Controls& window, Job job) : window_(window), job_(job) {}

  // Whether the job is still current: the workflow stops at its next step when not.
  bool current() const { return job_.current(); }

  void table_add_column(Control list, const Text& title, int width) override;
  void table_clear(Control list) override;
  int table_append_row(Control list) override;
  void table_set_cell(Control list, int row, int column, const Text& text) override;
  Text table_get_cell(Control list, int row, int column) override;
  int table_row_count(Control list) override;
  int table_selected_row(Control list) override;
  void table_set_progress(Control list, int row, int column, Progress progress) override;
  void selector_clear(Control selector) override;
  int selector_add(Control selector, const Text& text, int value) override;
  int selector_chosen_index(Control selector) override;
  int selector_value(Control selector, int index) override;
  bool radio_checked(Control radio) override;
  Text edit_text(Control edit) override;
  void set_caption(Control group, const Text& text) override;
  void run_as_one_step(const std::function<void()>& step) override;

 private:
  // Runs op in one step when the job is current; otherwise gives fallback.
  template <typename Result, typename Op>
  Result guarded(Result fallback, Op op);
  template <typename Op>
  void guarded(Op op);

  Controls& window_;
  Job job_;
};

}  // namespace orvendel
