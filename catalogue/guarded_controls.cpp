#include "catalogue/guarded_controls.h"

namespace orvendel {

template <typename Result, typename Op>
Result GuardedControls::guarded(Result fallback, Op op) {
  Result result = fallback;
  window_.run_as_one_step([&] {
    if (job_.current()) result = op();
  });
  return result;
}

template <typename Op>
void GuardedControls::guarded(Op op) {
  window_.run_as_one_step([&] {
    if (job_.current()) op();
  });
}

void GuardedControls::table_add_column(Control list, const Text& title, int width) {
  guarded([&] { window_.table_add_column(list, title, width); });
}
void GuardedControls::table_clear(Control list) {
  guarded([&] { window_.table_clear(list); });
}
int GuardedControls::table_append_row(Control list) {
  return guarded(-1, [&] { return window_.table_append_row(list); });
}
void GuardedControls::table_set_cell(Control list, int row, int column, const Text& text) {
  guarded([&] { window_.table_set_cell(list, row, column, text); });
}
Text GuardedControls::table_get_cell(Control list, int row, int column) {
  return guarded(Text(), [&] { return window_.table_get_cell(list, row, column); });
}
int GuardedControls::table_row_count(Control list) {
  return guarded(0, [&] { return window_.table_row_count(list); });
}
int GuardedControls::table_selected_row(Control list) {
  return guarded(-1, [&] { return window_.table_selected_row(list); });
}
void GuardedControls::table_set_progress(Control list, int row, int column, Progress progress) {
  guarded([&] { window_.table_set_progress(list, row, column, progress); });
}
void GuardedControls::selector_clear(Control selector) {
  guarded([&] { window_.selector_clear(selector); });
}
int GuardedControls::selector_add(Control selector, const Text& text, int value) {
  return guarded(-1, [&] { return window_.selector_add(selector, text, value); });
}
int GuardedControls::selector_chosen_index(Control selector) {
  return guarded(-1, [&] { return window_.selector_chosen_index(selector); });
}
int GuardedControls::selector_value(Control selector, int index) {
  return guarded(-1, [&] { return window_.selector_value(selector, index); });
}
bool GuardedControls::radio_checked(Control radio) {
  return guarded(false, [&] { return window_.radio_checked(radio); });
}
Text GuardedControls::edit_text(Control edit) {
  return guarded(Text(), [&] { return window_.edit_text(edit); });
}
void GuardedControls::set_caption(Control group, const Text& text) {
  guarded([&] { window_.set_caption(group, text); });
}
void GuardedControls::run_as_one_step(const std::function<void()>& step) { guarded(step); }

}  // namespace orvendel
