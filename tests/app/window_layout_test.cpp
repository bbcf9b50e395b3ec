// The window as it opens: its controls, their places and texts, the columns
// of the list views and how the list views and the selector behave.
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/app/window_test_support.h"
#include "tests/support/test_text.h"

namespace orvendel::testing {
namespace {

using LayoutTest = WindowTest;

// The text a control shows: a caption, a label, or the edited text.
Text shown_text(QWidget* widget) {
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return to_text(box->title());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return to_text(button->text());
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return to_text(edit->text());
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return to_text(combo->currentText());
  return Text();
}

TEST_F(LayoutTest, EveryControlStandsAtItsPlaceWithItsText) {
  struct Row {
    Text name;
    Text parent;
    QRect geometry;
    Text text;
  };
  const Row rows[] = {
      {"分组框1", "MainWindow", {8, 8, 280, 320}, "查询"},
      {"编辑框1", "分组框1", {8, 16, 200, 32}, ""},
      {"按钮1", "分组框1", {216, 16, 53, 30}, "查询"},
      {"超级列表框1", "分组框1", {8, 56, 264, 256}, ""},
      {"分组框2", "MainWindow", {288, 8, 368, 320}, "下载"},
      {"组合框1", "分组框2", {16, 24, 120, 21}, ""},
      {"单选框1", "分组框2", {144, 22, 80, 24}, "高音质"},
      {"单选框2", "分组框2", {216, 22, 80, 24}, "普通音质"},
      {"按钮2", "分组框2", {304, 16, 53, 30}, "下载"},
      {"超级列表框2", "分组框2", {8, 56, 352, 256}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.name));
    QWidget* widget = control<QWidget>(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(to_text(widget->parentWidget()->objectName()), row.parent);
    EXPECT_EQ(widget->geometry(), row.geometry);
    EXPECT_EQ(hex(shown_text(widget)), hex(row.text));
    EXPECT_TRUE(widget->isVisible());
  }
}

TEST_F(LayoutTest, WindowHasItsTitleAPlaceAndAFixedClientArea) {
  EXPECT_EQ(hex(to_text(window.windowTitle())), hex("Orvendel-不能下载收费专辑 v1.0"));
  EXPECT_EQ(window.pos(), QPoint(50, 50));
  EXPECT_EQ(window.size(), QSize(664, 336));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  // The group boxes keep the 8-pixel margin to the right and below.
  for (const Text name : {"分组框1", "分组框2"}) {
    SCOPED_TRACE(readable(name));
    EXPECT_EQ(window.height() - control<QWidget>(name)->geometry().bottom() - 1, 8);
  }
  EXPECT_EQ(window.width() - control<QWidget>("分组框2")->geometry().right() - 1, 8);
}

TEST_F(LayoutTest, ColumnsAreAddedOnceWithTitlesAndWidths) {
  struct Row {
    Text list;
    int column;
    Text title;
    int width;  // 0: hidden, yet holding its cells' text
  };
  const Row rows[] = {
      {"超级列表框1", 0, "地址", 0},   {"超级列表框1", 1, "名称", 80},
      {"超级列表框1", 2, "描述", 80},  {"超级列表框1", 3, "播放", 80},
      {"超级列表框1", 4, "更新", 80},  {"超级列表框2", 0, "专辑", 0},
      {"超级列表框2", 1, "名称", 150}, {"超级列表框2", 2, "播放", 100},
      {"超级列表框2", 3, "状态", 70},
  };
  EXPECT_EQ(list("超级列表框1")->columnCount(), 5);
  EXPECT_EQ(list("超级列表框2")->columnCount(), 4);
  for (const Row& row : rows) {
    SCOPED_TRACE(readable(row.list) + " " + std::to_string(row.column));
    ReportView* view = list(row.list);
    const QTableWidgetItem* header = view->horizontalHeaderItem(row.column);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(hex(to_text(header->text())), hex(row.title));
    EXPECT_EQ(header->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(view->columnWidth(row.column), row.width);
    EXPECT_EQ(view->isColumnHidden(row.column), row.width == 0);
  }
}

TEST_F(LayoutTest, HiddenColumnsKeepTheirCellsText) {
  for (const auto list : {Control::超级列表框1, Control::超级列表框2}) {
    const int row = controls().table_append_row(list);
    controls().table_set_cell(list, row, 0, "/album/123");
    EXPECT_EQ(controls().table_get_cell(list, row, 0), "/album/123");
  }
}

TEST_F(LayoutTest, ListViewsAreReportViews) {
  for (const Text name : {"超级列表框1", "超级列表框2"}) {
    SCOPED_TRACE(readable(name));
    ReportView* view = list(name);
    EXPECT_EQ(view->rowCount(), 0);
    EXPECT_EQ(view->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(view->showGrid());
    EXPECT_FALSE(view->isSortingEnabled());
    EXPECT_FALSE(view->verticalHeader()->isVisible());
    EXPECT_TRUE(view->horizontalHeader()->isVisible());
    EXPECT_FALSE(view->horizontalHeader()->sectionsClickable());
    EXPECT_TRUE(view->horizontalHeader()->sectionsMovable());

    // Cells are neither editable nor checkable, and moving a column's header
    // leaves its column number as it was.
    const Control id = name == "超级列表框1" ? Control::超级列表框1 : Control::超级列表框2;
    const int row = controls().table_append_row(id);
    controls().table_set_cell(id, row, 1, "one");
    controls().table_set_cell(id, row, 2, "two");
    view->horizontalHeader()->moveSection(1, 3);
    EXPECT_EQ(controls().table_get_cell(id, row, 1), "one");
    EXPECT_EQ(controls().table_get_cell(id, row, 2), "two");
    const Qt::ItemFlags flags = view->item(row, 1)->flags();
    EXPECT_FALSE(flags & Qt::ItemIsEditable);
    EXPECT_FALSE(flags & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(view->item(row, 1)->data(Qt::CheckStateRole).isValid());
  }
}

TEST_F(LayoutTest, RadioButtonsAreOneGroupWithHighQualityChecked) {
  EXPECT_TRUE(controls().radio_checked(Control::单选框1));
  EXPECT_FALSE(controls().radio_checked(Control::单选框2));
  QTest::mouseClick(control<QRadioButton>("单选框2"), Qt::LeftButton);
  EXPECT_FALSE(controls().radio_checked(Control::单选框1));
  EXPECT_TRUE(controls().radio_checked(Control::单选框2));
}

TEST_F(LayoutTest, SelectorIsAnEditableDropDownThatNeverInsertsOrSorts) {
  auto* combo = control<QComboBox>("组合框1");
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->insertPolicy(), QComboBox::NoInsert);
  EXPECT_EQ(combo->completer(), nullptr);
  EXPECT_EQ(combo->count(), 0);
  controls().selector_add(Control::组合框1, "第9页", 9);
  controls().selector_add(Control::组合框1, "第1页", 1);
  EXPECT_EQ(to_text(combo->itemText(0)), "第9页");
  EXPECT_EQ(to_text(combo->itemText(1)), "第1页");
}

}  // namespace
}  // namespace orvendel::testing
