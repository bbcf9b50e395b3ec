// The four handlers, driven by real clicks and choices: what each clears,
// the state it sets, the worker it starts, and what starts nothing.
#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>
#include <string>

#include "tests/app/window_test_support.h"

namespace orvendel::testing {
namespace {

using Kind = RecordingWorkers::Kind;

// A window whose lists, selector and caption hold something, with the shared
// state set to values no handler writes.
class Filled : public Session {
 public:
  Filled() {
    for (int i = 0; i < 3; ++i) {
      const int row = controls().table_append_row(Control::超级列表框1);
      controls().table_set_cell(Control::超级列表框1, row, 0, "/album/" + std::to_string(i));
      controls().table_set_cell(Control::超级列表框1, row, 1, "专辑" + std::to_string(i));
    }
    for (int i = 0; i < 2; ++i) controls().table_append_row(Control::超级列表框2);
    controls().selector_add(Control::组合框1, "第1页", 5);
    controls().selector_add(Control::组合框1, "第2页", 7);
    controls().set_caption(Control::分组框1, "查询(0/3)");
    window.state().current_page = 3;
    window.state().first_load = true;
  }

  void click(const Text& button) { testing::click(window, button); }
  void click_album_row(int row) { click_row(window, "超级列表框1", row); }
  void click_album_empty_area() { click_empty_area(window, "超级列表框1"); }
  void choose_page(int entry) { testing::choose_page(window, entry); }
  static void type(QWidget* widget, const Text& text) { testing::type(widget, text); }
  void keys(const Text& name, std::initializer_list<Qt::Key> keys) {
    QWidget* widget = control<QWidget>(name);
    widget->setFocus();
    for (Qt::Key key : keys) QTest::keyClick(widget, key);
  }

  int albums() { return controls().table_row_count(Control::超级列表框1); }
  int tracks() { return controls().table_row_count(Control::超级列表框2); }
  int pages() { return control<QComboBox>("组合框1")->count(); }
  Text caption() { return testing::caption(window); }
};

TEST(HandlerTest, EachEventClearsSetsAndStartsItsOwn) {
  struct Row {
    const char* event;
    std::function<void(Filled&)> act;
    int albums, tracks, pages;  // what is left in the controls
    Kind started;
    bool first_load;
    int current_page;
    int selected_album;  // after the event
  };
  const Row rows[] = {
      {"按钮1 clicked", [](Filled& w) { w.click("按钮1"); }, 0, 2, 2, Kind::kSearch, true, 3, -1},
      {"album row clicked", [](Filled& w) { w.click_album_row(1); }, 3, 0, 0, Kind::kListing, true,
       1, 1},
      {"empty album area clicked with a row selected",
       [](Filled& w) {
         w.list("超级列表框1")->selectRow(2);
         w.click_album_empty_area();
       },
       3, 0, 0, Kind::kListing, true, 1, -1},
      {"page chosen", [](Filled& w) { w.choose_page(1); }, 3, 0, 2, Kind::kListing, false, 7, -1},
      {"按钮2 clicked", [](Filled& w) { w.click("按钮2"); }, 3, 2, 2, Kind::kDownload, true, 3, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.event));
    Filled w;
    row.act(w);
    EXPECT_EQ(w.albums(), row.albums);
    EXPECT_EQ(w.tracks(), row.tracks);
    EXPECT_EQ(w.pages(), row.pages);
    EXPECT_EQ(w.caption(), "查询(0/3)");
    EXPECT_EQ(w.controls().table_selected_row(Control::超级列表框1), row.selected_album);
    EXPECT_EQ(w.window.state().first_load.load(), row.first_load);
    EXPECT_EQ(w.window.state().current_page.load(), row.current_page);
    EXPECT_EQ(w.recorder.starts, 1);
    ASSERT_TRUE(w.recorder.wait_for_started(1));
    const auto started = w.recorder.started().front();
    EXPECT_EQ(started.kind, row.started);
    EXPECT_TRUE(started.job.current());
    // The worker finds the state the handler set.
    EXPECT_EQ(started.first_load, row.first_load);
    EXPECT_EQ(started.current_page, row.current_page);
  }
}

TEST(HandlerTest, ClickingTheSelectedAlbumAgainFiresAgainAndSupersedes) {
  Filled w;
  w.click_album_row(2);
  QTest::qWait(QApplication::doubleClickInterval() + 50);  // two clicks, not a double-click
  w.click_album_row(2);
  EXPECT_EQ(w.controls().table_selected_row(Control::超级列表框1), 2);
  ASSERT_TRUE(w.recorder.wait_for_started(2));
  const auto started = w.recorder.started();
  EXPECT_EQ(started[0].kind, Kind::kListing);
  EXPECT_EQ(started[1].kind, Kind::kListing);
  EXPECT_FALSE(started[0].job.current());
  EXPECT_TRUE(started[1].job.current());
}

TEST(HandlerTest, ADoubleClickIsOneClick) {
  Filled w;
  ReportView* view = w.list("超级列表框1");
  const QPoint at = view->visualRect(view->model()->index(0, 1)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(w.recorder.starts, 1);
}

TEST(HandlerTest, ANewJobSupersedesTheRunningOneOfItsKind) {
  struct Row {
    const char* events;
    std::function<void(Filled&)> first, second;
  };
  const Row rows[] = {
      {"按钮1 twice", [](Filled& w) { w.click("按钮1"); }, [](Filled& w) { w.click("按钮1"); }},
      {"album click, then page choice",
       [](Filled& w) {
         w.click_album_row(0);
         w.controls().selector_add(Control::组合框1, "第1页", 1);  // as the listing does
       },
       [](Filled& w) { w.choose_page(0); }},
      {"page choice, then empty area click", [](Filled& w) { w.choose_page(1); },
       [](Filled& w) { w.click_album_empty_area(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.events));
    Filled w;
    row.first(w);
    ASSERT_TRUE(w.recorder.wait_for_started(1));
    const Job first = w.recorder.started()[0].job;
    EXPECT_TRUE(first.current());
    row.second(w);
    EXPECT_FALSE(first.current());
    ASSERT_TRUE(w.recorder.wait_for_started(2));
    EXPECT_TRUE(w.recorder.started()[1].job.current());
  }
}

TEST(HandlerTest, DownloadPressedWhileOneRunsStartsNothing) {
  Filled w;
  w.recorder.hold_download = true;
  w.click("按钮2");
  ASSERT_TRUE(w.recorder.wait_for_started(1));
  EXPECT_TRUE(w.window.state().download_running);
  w.click("按钮2");
  EXPECT_EQ(w.recorder.starts, 1);

  w.recorder.hold_download = false;
  ASSERT_TRUE(wait_until([&] { return !w.window.state().download_running; }));
  w.click("按钮2");
  EXPECT_EQ(w.recorder.starts, 2);
  ASSERT_TRUE(w.recorder.wait_for_started(2));
}

TEST(HandlerTest, AWorkerThatCannotStartLeavesWhatWasClearedAndNoDownloadRunning) {
  Filled w;
  w.recorder.refuse_threads = true;
  w.click("按钮2");
  EXPECT_FALSE(w.window.state().download_running);
  w.click("按钮1");
  EXPECT_EQ(w.albums(), 0);
  EXPECT_EQ(w.recorder.starts, 2);

  w.recorder.refuse_threads = false;
  w.click("按钮2");
  ASSERT_TRUE(w.recorder.wait_for_started(1));
  EXPECT_EQ(w.recorder.started()[0].kind, Kind::kDownload);
}

TEST(HandlerTest, KeysRadioChangesAndHeaderClicksStartNothing) {
  struct Row {
    const char* event;
    std::function<void(Filled&)> act;
  };
  const auto wheel = [](QWidget* widget, int delta) {
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent event(at, widget->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
  };
  const auto click_header = [](ReportView* view, int column) {
    QHeaderView* header = view->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, {x, header->height() / 2});
  };
  const Row rows[] = {
      {"Enter in 编辑框1",
       [](Filled& w) {
         Filled::type(w.control<QLineEdit>("编辑框1"), "关键词");
         w.keys("编辑框1", {Qt::Key_Return, Qt::Key_Enter});
       }},
      {"typing an entry's text and Enter in 组合框1",
       [](Filled& w) {
         w.control<QWidget>("组合框1")->setFocus();
         Filled::type(w.control<QWidget>("组合框1"), "第2页");
         w.keys("组合框1", {Qt::Key_Return});
       }},
      {"typing new text and Enter in 组合框1, then leaving it",
       [](Filled& w) {
         w.control<QWidget>("组合框1")->setFocus();
         Filled::type(w.control<QWidget>("组合框1"), "第2页");
         w.keys("组合框1", {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Enter});
         w.control<QWidget>("编辑框1")->setFocus();
       }},
      {"typing into 组合框1's edit field itself",
       [](Filled& w) {
         QLineEdit* edit = w.control<QComboBox>("组合框1")->lineEdit();
         Filled::type(edit, "第1页");
         QTest::keyClick(edit, Qt::Key_Return);
       }},
      {"arrow keys on the closed 组合框1",
       [](Filled& w) {
         w.keys("组合框1", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_End});
       }},
      {"the wheel on 组合框1",
       [wheel](Filled& w) {
         wheel(w.control<QWidget>("组合框1"), -120);
         wheel(w.control<QWidget>("组合框1"), 120);
       }},
      {"keys in 超级列表框1",
       [](Filled& w) {
         w.keys("超级列表框1", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Space, Qt::Key_Return});
       }},
      {"keys in 超级列表框2",
       [](Filled& w) {
         w.keys("超级列表框2", {Qt::Key_Down, Qt::Key_Return});
       }},
      {"单选框2 clicked", [](Filled& w) { w.click("单选框2"); }},
      {"arrow keys between the radio buttons",
       [](Filled& w) {
         w.keys("单选框1", {Qt::Key_Right, Qt::Key_Left});
       }},
      {"header clicks",
       [click_header](Filled& w) {
         click_header(w.list("超级列表框1"), 1);
         click_header(w.list("超级列表框2"), 2);
       }},
      {"right click on an album",
       [](Filled& w) {
         ReportView* view = w.list("超级列表框1");
         QTest::mouseClick(view->viewport(), Qt::RightButton, {},
                           view->visualRect(view->model()->index(0, 1)).center());
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.event));
    Filled w;
    row.act(w);
    QTest::qWait(20);
    EXPECT_EQ(w.recorder.starts, 0);
    EXPECT_EQ(w.albums(), 3);
    EXPECT_EQ(w.tracks(), 2);
    EXPECT_EQ(w.pages(), 2);
    EXPECT_EQ(w.window.state().current_page.load(), 3);
  }
}

}  // namespace
}  // namespace orvendel::testing
