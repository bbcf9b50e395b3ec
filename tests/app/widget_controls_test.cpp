// The control operations on the real widgets: their answers at the edges,
// the text crossing into Qt and back, the drawn progress, and calls from
// several threads while the GUI thread is busy.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <climits>
#include <string>

#include "tests/app/window_test_support.h"
#include "tests/support/test_text.h"
#include "text/process_events.h"

namespace orvendel::testing {
namespace {

using ControlsTest = WindowTest;

QString utf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

TEST_F(ControlsTest, TableRowsAndCells) {
  const auto id = Control::超级列表框2;
  EXPECT_EQ(controls().table_append_row(id), 0);
  EXPECT_EQ(controls().table_append_row(id), 1);
  EXPECT_EQ(controls().table_row_count(id), 2);
  controls().table_set_cell(id, 1, 3, "已下载");
  EXPECT_EQ(controls().table_get_cell(id, 1, 3), "已下载");
  EXPECT_EQ(controls().table_get_cell(id, 0, 3), "");
  const Text long_text(100000, 'x');
  controls().table_set_cell(id, 0, 1, long_text);
  EXPECT_EQ(controls().table_get_cell(id, 0, 1), long_text);

  controls().table_clear(id);
  EXPECT_EQ(controls().table_row_count(id), 0);
  EXPECT_EQ(list("超级列表框2")->columnCount(), 4);
  EXPECT_EQ(controls().table_append_row(id), 0);
  EXPECT_EQ(controls().table_get_cell(id, 0, 3), "");
}

TEST_F(ControlsTest, CellsOutsideTheTableReadEmptyAndIgnoreWrites) {
  const auto id = Control::超级列表框1;  // 5 columns
  for (int i = 0; i < 2; ++i) controls().table_append_row(id);
  struct Cell {
    int row, column;
  };
  const Cell cells[] = {{-1, 0}, {2, 0}, {INT_MIN, 1}, {INT_MAX, 1}, {0, -1}, {0, 5}, {1, 99}};
  for (const Cell& c : cells) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
    controls().table_set_cell(id, c.row, c.column, "written");
    controls().table_set_progress(id, c.row, c.column, {Progress::Kind::kShare, 0.5});
    EXPECT_EQ(controls().table_get_cell(id, c.row, c.column), "");
  }
  EXPECT_EQ(controls().table_row_count(id), 2);
  EXPECT_EQ(list("超级列表框1")->columnCount(), 5);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(controls().table_get_cell(id, row, column), "");
    }
  }
}

TEST_F(ControlsTest, SelectedRow) {
  const auto id = Control::超级列表框1;
  EXPECT_EQ(controls().table_selected_row(id), -1);
  for (int i = 0; i < 3; ++i) controls().table_append_row(id);
  EXPECT_EQ(controls().table_selected_row(id), -1);
  list("超级列表框1")->selectRow(2);
  EXPECT_EQ(controls().table_selected_row(id), 2);
  controls().table_clear(id);
  EXPECT_EQ(controls().table_selected_row(id), -1);
}

TEST_F(ControlsTest, SelectorEntriesAndValues) {
  const auto selector = Control::组合框1;
  EXPECT_EQ(controls().selector_chosen_index(selector), -1);
  EXPECT_EQ(controls().selector_add(selector, "第1页", 1), 0);
  EXPECT_EQ(controls().selector_add(selector, "第2页", -5), 1);
  EXPECT_EQ(controls().selector_add(selector, "第2页", INT_MAX), 2);
  // Adding chooses nothing: only the user chooses.
  EXPECT_EQ(controls().selector_chosen_index(selector), -1);
  EXPECT_EQ(to_text(control<QComboBox>("组合框1")->currentText()), "");

  struct Row {
    int index, value;
  };
  const Row rows[] = {{0, 1},  {1, -5},       {2, INT_MAX}, {-1, -1},
                      {3, -1}, {INT_MIN, -1}, {INT_MAX, -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    EXPECT_EQ(controls().selector_value(selector, row.index), row.value);
  }

  control<QComboBox>("组合框1")->setCurrentIndex(1);
  EXPECT_EQ(controls().selector_chosen_index(selector), 1);
  controls().selector_clear(selector);
  EXPECT_EQ(control<QComboBox>("组合框1")->count(), 0);
  EXPECT_EQ(controls().selector_chosen_index(selector), -1);
  EXPECT_EQ(controls().selector_value(selector, 0), -1);
}

TEST_F(ControlsTest, ControlsOfTheWrongKindGiveEmptyAnswers) {
  Controls& c = controls();
  c.table_clear(Control::按钮1);
  c.table_add_column(Control::编辑框1, "x", 10);
  c.table_set_cell(Control::分组框1, 0, 0, "x");
  c.selector_clear(Control::超级列表框1);
  c.set_caption(Control::按钮2, "changed");
  EXPECT_EQ(c.table_append_row(Control::组合框1), -1);
  EXPECT_EQ(c.table_row_count(Control::编辑框1), 0);
  EXPECT_EQ(c.table_selected_row(Control::按钮1), -1);
  EXPECT_EQ(c.table_get_cell(Control::按钮2, 0, 0), "");
  EXPECT_EQ(c.selector_add(Control::按钮1, "x", 1), -1);
  EXPECT_EQ(c.selector_chosen_index(Control::超级列表框2), -1);
  EXPECT_EQ(c.selector_value(Control::超级列表框1, 0), -1);
  EXPECT_FALSE(c.radio_checked(Control::编辑框1));
  EXPECT_EQ(c.edit_text(Control::按钮1), "");
  EXPECT_EQ(c.edit_text(Control::组合框1), "");
  EXPECT_EQ(to_text(control<QPushButton>("按钮2")->text()), "下载");
}

TEST_F(ControlsTest, TextCrossesIntoQtFromGbkAndBack) {
  struct Row {
    const char* what;
    Text text;       // what the program writes
    QString shown;   // what the widget holds
    Text read_back;  // what the program reads from the widget
  };
  const Row rows[] = {
      {"Chinese", "高音质", utf16(u"高音质"), "高音质"},
      {"ASCII", "abc 123", utf16(u"abc 123"), "abc 123"},
      {"empty", "", QString(), ""},
      {"invalid GBK", "\x81\x20", utf16(u"\uFFFD "), "? "},
  };
  auto* edit = control<QLineEdit>("编辑框1");
  auto* group = control<QGroupBox>("分组框2");
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.what));
    controls().set_caption(Control::分组框2, row.text);
    EXPECT_EQ(group->title(), row.shown);
    edit->setText(row.shown);
    EXPECT_EQ(hex(controls().edit_text(Control::编辑框1)), hex(row.read_back));
  }

  // Text from the widget is cut at a NUL; what GBK lacks becomes "?".
  struct Typed {
    QString typed;
    Text read;
  };
  const Typed typed[] = {
      {utf16(u"a") + QChar(0) + utf16(u"b"), "a"},
      {QString::fromUcs4(U"x\U0001F600y"), "x?y"},
      {utf16(u"\u20AC"), "\x80"},
  };
  for (const Typed& t : typed) {
    SCOPED_TRACE(hex(t.read));
    edit->setText(t.typed);
    EXPECT_EQ(hex(controls().edit_text(Control::编辑框1)), hex(t.read));
  }
}

// The colour drawn at a share of a cell's width, across the cell's middle.
QRgb pixel_at(ReportView* view, int row, int column, double share) {
  const QImage image = view->viewport()->grab().toImage();
  const QRect cell = view->visualRect(view->model()->index(row, column));
  const int x = cell.left() + static_cast<int>(cell.width() * share);
  return image.pixel(image.devicePixelRatio() * QPoint(x, cell.center().y()));
}

TEST_F(ControlsTest, ProgressIsDrawnBehindTheCellAndLeavesItsText) {
  struct Row {
    const char* what;
    Progress progress;
    bool left, right;  // whether a mark is drawn at 10 % and at 90 % of the cell
  };
  const Row rows[] = {
      {"none", {Progress::Kind::kNone, 1.0}, false, false},
      {"share 0", {Progress::Kind::kShare, 0.0}, false, false},
      {"share half", {Progress::Kind::kShare, 0.5}, true, false},
      {"share whole", {Progress::Kind::kShare, 1.0}, true, true},
      {"share beyond the end", {Progress::Kind::kShare, 7.0}, true, true},
      {"moving at the start", {Progress::Kind::kMoving, 0.0}, true, false},
      {"moving at the end", {Progress::Kind::kMoving, 1.0}, false, true},
  };
  const auto id = Control::超级列表框2;
  ReportView* view = list("超级列表框2");
  const int marked = controls().table_append_row(id);
  const int plain = controls().table_append_row(id);
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.what));
    controls().table_set_cell(id, marked, 3, "");
    controls().table_set_progress(id, marked, 3, row.progress);
    EXPECT_EQ(pixel_at(view, marked, 3, 0.1) != pixel_at(view, plain, 3, 0.1), row.left);
    EXPECT_EQ(pixel_at(view, marked, 3, 0.9) != pixel_at(view, plain, 3, 0.9), row.right);
  }
  controls().table_set_cell(id, marked, 3, "45%");
  controls().table_set_progress(id, marked, 3, {Progress::Kind::kShare, 0.3});
  EXPECT_EQ(controls().table_get_cell(id, marked, 3), "45%");
}

TEST_F(ControlsTest, SelectionIsDrawnOnlyWithTheFocus) {
  const auto id = Control::超级列表框1;
  ReportView* view = list("超级列表框1");
  for (int i = 0; i < 2; ++i) controls().table_append_row(id);
  view->selectRow(0);
  control<QWidget>("编辑框1")->setFocus();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ASSERT_TRUE(wait_until([&] { return control<QWidget>("编辑框1")->hasFocus(); }));
  EXPECT_EQ(pixel_at(view, 0, 1, 0.9), pixel_at(view, 1, 1, 0.9));
  view->setFocus();
  ASSERT_TRUE(wait_until([&] { return view->hasFocus(); }));
  EXPECT_NE(pixel_at(view, 0, 1, 0.9), pixel_at(view, 1, 1, 0.9));
}

TEST_F(ControlsTest, ProcessEventsRunsTheWindowsEventsButNotInsideAStep) {
  bool ran = false;
  QTimer::singleShot(0, &window, [&] { ran = true; });
  controls().run_as_one_step([&] { process_events(); });
  EXPECT_FALSE(ran);
  process_events();
  EXPECT_TRUE(ran);
}

TEST_F(ControlsTest, OperationsFromManyThreadsWhileTheGuiThreadIsBusy) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 10;
  const auto id = Control::超级列表框2;
  std::atomic<int> done{0};
  std::atomic<int> interleaved{0};  // steps that another thread got into
  std::atomic<int> incomplete{0};   // writes not in place when the call returned
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Controls& c = controls();
      for (int i = 0; i < kRounds; ++i) {
        const Text tag = "t" + std::to_string(t) + "-" + std::to_string(i);
        c.run_as_one_step([&] {
          const int before = c.table_row_count(id);
          c.run_as_one_step([&] {  // re-entrant
            const int row = c.table_append_row(id);
            c.table_set_cell(id, row, 1, tag);
            if (row != before || c.table_row_count(id) != before + 1) ++interleaved;
          });
        });
        const int row = c.table_append_row(id);
        c.table_set_cell(id, row, 2, tag);
        if (c.table_get_cell(id, row, 2) != tag) ++incomplete;
        c.selector_add(Control::组合框1, tag, i);
      }
      ++done;
    });
  }
  // The GUI thread handles slow events of its own and writes too.
  int gui_rows = 0;
  const bool finished = wait_until([&] {
    QTimer::singleShot(0, &window,
                       [] { std::this_thread::sleep_for(std::chrono::milliseconds(3)); });
    controls().table_set_cell(id, controls().table_append_row(id), 1, "gui");
    ++gui_rows;
    return done == kThreads;
  });
  for (auto& thread : threads) {
    if (finished) {
      thread.join();
    } else {
      thread.detach();  // deadlocked: nothing more to learn from them
    }
  }
  ASSERT_TRUE(finished) << "control operations deadlocked";
  EXPECT_EQ(interleaved, 0);
  EXPECT_EQ(incomplete, 0);
  EXPECT_EQ(controls().table_row_count(id), kThreads * kRounds * 2 + gui_rows);
  EXPECT_EQ(control<QComboBox>("组合框1")->count(), kThreads * kRounds);
  for (int row = 0; row < controls().table_row_count(id); ++row) {
    const bool written =
        controls().table_get_cell(id, row, 1) != "" || controls().table_get_cell(id, row, 2) != "";
    EXPECT_TRUE(written) << row;
  }
}

}  // namespace
}  // namespace orvendel::testing
