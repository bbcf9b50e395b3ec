#pragma once
// The window as the workflows see it: the controls they read and write, and
// the operations on them. The window layer implements this on real widgets;
// tests may implement it in memory.

#include <functional>

#include "text/text_types.h"

namespace orvendel {

// The window's controls, named as in its form.
enum class Control {
  分组框1,      // group box "查询": the search's caption
  编辑框1,      // the search keyword
  按钮1,        // Query
  超级列表框1,  // albums: 0 "地址" (hidden page path), 1 "名称", 2 "描述", 3 "播放", 4 "更新"
  分组框2,      // group box "下载"
  组合框1,      // the album's pages: "第n页", value n
  单选框1,      // "高音质"
  单选框2,      // "普通音质"
  按钮2,        // Download
  超级列表框2,  // tracks: 0 "专辑" (hidden track id), 1 "名称", 2 "播放", 3 "状态"
};

// How much of a transfer has arrived, drawn behind a cell's text.
struct Progress {
  enum class Kind {
    kNone,    // no bar
    kShare,   // value is the share of the announced length, 0 to 1
    kMoving,  // no length announced: value is where the moving mark stands, 0 to 1
  };
  Kind kind = Kind::kNone;
  double value = 0;
};

// The control operations. Every one may be called from any thread; each is
// carried out as one step in the window (no other operation or event handler
// runs in the middle of it) and is complete when it returns. Rows, columns
// and selector entries are 0-based.
class Controls {
 public:
  virtual ~Controls() = default;

  // Appends a column, title left-aligned; a negative width counts as 0.
  // A column of width 0 exists and keeps its cells' text but is not shown.
  virtual void table_add_column(Control list, const Text& title, int width) = 0;
  // Deletes every row.
  virtual void table_clear(Control list) = 0;
  // Appends a row of empty cells and returns its index (the row count before
  // the call); -1 when no row could be added.
  virtual int table_append_row(Control list) = 0;
  // Replaces a cell's text; does nothing for a row or column that does not exist.
  virtual void table_set_cell(Control list, int row, int column, const Text& text) = 0;
  // A cell's whole text; "" for a row or column that does not exist (-1 included).
  virtual Text table_get_cell(Control list, int row, int column) = 0;
  virtual int table_row_count(Control list) = 0;
  // The selected row; -1 when none is.
  virtual int table_selected_row(Control list) = 0;
  // Draws progress behind a cell's text, or removes it (Kind::kNone); the
  // text stays as it is. Does nothing for a cell that does not exist.
  virtual void table_set_progress(Control list, int row, int column, Progress progress) = 0;

  virtual void selector_clear(Control selector) = 0;
  // Appends an entry that shows text and carries value; returns its index.
  virtual int selector_add(Control selector, const Text& text, int value) = 0;
  // The current entry's index; -1 when there is none.
  virtual int selector_chosen_index(Control selector) = 0;
  // The value of entry index; -1 when index < 0 or not below the entry count.
  virtual int selector_value(Control selector, int index) = 0;

  // Whether the radio button is checked at this moment.
  virtual bool radio_checked(Control radio) = 0;
  // The edit box's current text.
  virtual Text edit_text(Control edit) = 0;
  // Replaces the caption in a group box's frame.
  virtual void set_caption(Control group, const Text& text) = 0;

  // Runs step as one step in the window: no control operation of another
  // thread and no event handler runs while it does. step may call the
  // operations above. This is what lets a worker test "is my job still
  // current?" and write in one go.
  virtual void run_as_one_step(const std::function<void()>& step) = 0;
};

}  // namespace orvendel
