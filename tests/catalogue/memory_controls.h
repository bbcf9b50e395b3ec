#pragma once
// The window's controls held in memory, for driving workflows without Qt.
// Every operation holds one lock, so each is one step, as in the window.

#include <map>
#include <mutex>
#include <vector>

#include "catalogue/controls.h"

namespace orvendel::testing {

class MemoryControls : public Controls {
 public:
  struct Table {
    int columns = 0;
    std::vector<std::vector<Text>> rows;
    std::vector<Progress> progress;  // of each row's status cell, for the download
    int selected = -1;
  };
  struct Entry {
    Text text;
    int value;
  };

  MemoryControls() {
    tables_[Control::超级列表框1].columns = 5;
    tables_[Control::超级列表框2].columns = 4;
    checked_[Control::单选框1] = true;
    chosen_[Control::组合框1] = -1;
  }

  void table_add_column(Control list, const Text&, int) override {
    std::lock_guard lock(mutex_);
    ++tables_[list].columns;
  }
  void table_clear(Control list) override {
    std::lock_guard lock(mutex_);
    tables_[list].rows.clear();
    tables_[list].progress.clear();
    tables_[list].selected = -1;
  }
  int table_append_row(Control list) override {
    std::lock_guard lock(mutex_);
    Table& t = tables_[list];
    t.rows.emplace_back(static_cast<std::size_t>(t.columns));
    t.progress.emplace_back();
    return static_cast<int>(t.rows.size()) - 1;
  }
  void table_set_cell(Control list, int row, int column, const Text& text) override {
    std::lock_guard lock(mutex_);
    if (Text* cell = find(list, row, column)) *cell = text;
  }
  Text table_get_cell(Control list, int row, int column) override {
    std::lock_guard lock(mutex_);
    const Text* cell = find(list, row, column);
    return cell ? *cell : Text();
  }
  int table_row_count(Control list) override {
    std::lock_guard lock(mutex_);
    return static_cast<int>(tables_[list].rows.size());
  }
  int table_selected_row(Control list) override {
    std::lock_guard lock(mutex_);
    return tables_[list].selected;
  }
  void table_set_progress(Control list, int row, int column, Progress progress) override {
    std::lock_guard lock(mutex_);
    if (find(list, row, column)) tables_[list].progress[static_cast<std::size_t>(row)] = progress;
  }
  void selector_clear(Control selector) override {
    std::lock_guard lock(mutex_);
    entries_[selector].clear();
  }
  int selector_add(Control selector, const Text& text, int value) override {
    std::lock_guard lock(mutex_);
    entries_[selector].push_back({text, value});
    return static_cast<int>(entries_[selector].size()) - 1;
  }
  int selector_chosen_index(Control selector) override {
    std::lock_guard lock(mutex_);
    return chosen_[selector];
  }
  int selector_value(Control selector, int index) override {
    std::lock_guard lock(mutex_);
    const auto& e = entries_[selector];
    return index < 0 || index >= static_cast<int>(e.size()) ? -1
                                                            : e[static_cast<std::size_t>(index)].value;
  }
  bool radio_checked(Control radio) override {
    std::lock_guard lock(mutex_);
    return checked_[radio];
  }
  Text edit_text(Control edit) override {
    std::lock_guard lock(mutex_);
    return texts_[edit];
  }
  void set_caption(Control group, const Text& text) override {
    std::lock_guard lock(mutex_);
    texts_[group] = text;
  }
  void run_as_one_step(const std::function<void()>& step) override {
    std::lock_guard lock(mutex_);
    step();
  }

  // What a user (or a handler) does, for tests.
  void set_text(Control c, const Text& t) {
    std::lock_guard lock(mutex_);
    texts_[c] = t;
  }
  Text text(Control c) {
    std::lock_guard lock(mutex_);
    return texts_[c];
  }
  void select_row(Control list, int row) {
    std::lock_guard lock(mutex_);
    tables_[list].selected = row;
  }
  void check(Control radio) {
    std::lock_guard lock(mutex_);
    checked_[Control::单选框1] = radio == Control::单选框1;
    checked_[Control::单选框2] = radio == Control::单选框2;
  }
  Table table(Control list) {
    std::lock_guard lock(mutex_);
    return tables_[list];
  }
  std::vector<Entry> entries(Control selector) {
    std::lock_guard lock(mutex_);
    return entries_[selector];
  }

 private:
  Text* find(Control list, int row, int column) {
    Table& t = tables_[list];
    if (row < 0 || row >= static_cast<int>(t.rows.size()) || column < 0 || column >= t.columns)
      return nullptr;
    return &t.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }

  std::recursive_mutex mutex_;
  std::map<Control, Table> tables_;
  std::map<Control, std::vector<Entry>> entries_;
  std::map<Control, int> chosen_;
  std::map<Control, bool> checked_;
  std::map<Control, Text> texts_;
};

}  // namespace orvendel::testing
