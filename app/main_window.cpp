#include "app/main_window.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "app/page_selector.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "text/process_events.h"

namespace orvendel {
namespace {

// Names the widget as its control and places it inside its parent.
template <typename Widget>
Widget* place(Widget* widget, const Text& name, int x, int y, int width, int height) {
  widget->setObjectName(to_qstring(name));
  widget->setGeometry(x, y, width, height);
  return widget;
}

}  // namespace

MainWindow::MainWindow(Text site_base, Workers workers)
    : 分组框1(place(new QGroupBox(to_qstring("查询"), this), "分组框1", 8, 8, 280, 320)),
      编辑框1(place(new QLineEdit(分组框1), "编辑框1", 8, 16, 200, 32)),
      按钮1(place(new QPushButton(to_qstring("查询"), 分组框1), "按钮1", 216, 16, 53, 30)),
      超级列表框1(place(new ReportView(分组框1), "超级列表框1", 8, 56, 264, 256)),
      分组框2(place(new QGroupBox(to_qstring("下载"), this), "分组框2", 288, 8, 368, 320)),
      组合框1(place(new PageSelector(分组框2), "组合框1", 16, 24, 120, 21)),
      单选框1(place(new QRadioButton(to_qstring("高音质"), 分组框2), "单选框1", 144, 22, 80, 24)),
      单选框2(place(new QRadioButton(to_qstring("普通音质"), 分组框2), "单选框2", 216, 22, 80, 24)),
      按钮2(place(new QPushButton(to_qstring("下载"), 分组框2), "按钮2", 304, 16, 53, 30)),
      超级列表框2(place(new ReportView(分组框2), "超级列表框2", 8, 56, 352, 256)),
      // In the order of Control's enumerators.
      controls_({分组框1, 编辑框1, 按钮1, 超级列表框1, 分组框2, 组合框1, 单选框1, 单选框2, 按钮2,
                 超级列表框2}),
      bench_{controls_, state_, std::move(site_base)},
      workers_(std::move(workers)) {
  setObjectName(to_qstring("MainWindow"));
  setWindowTitle(to_qstring("Orvendel-不能下载收费专辑 v1.0"));
  setFixedSize(kClientWidth, kClientHeight);
  move(50, 50);
  单选框1->setChecked(true);  // the two radio buttons share a parent: one group

  connect(按钮1, &QPushButton::clicked, this, [this] { query_clicked(); });
  超级列表框1->set_click_handler([this] { album_clicked(); });
  组合框1->set_choice_handler([this] { page_chosen(); });
  connect(按钮2, &QPushButton::clicked, this, [this] { download_clicked(); });

  add_columns();

  // Long text work on this thread lets the window's events run, but never in
  // the middle of one step of the window.
  set_process_events_hook([this] {
    if (!controls_.in_step()) QCoreApplication::processEvents();
  });
}

MainWindow::~MainWindow() { set_process_events_hook({}); }

void MainWindow::add_columns() {
  struct Column {
    Control list;
    Text title;
    int width;
  };
  const Column columns[] = {
      {Control::超级列表框1, "地址", 0},   {Control::超级列表框1, "名称", 80},
      {Control::超级列表框1, "描述", 80},  {Control::超级列表框1, "播放", 80},
      {Control::超级列表框1, "更新", 80},  {Control::超级列表框2, "专辑", 0},
      {Control::超级列表框2, "名称", 150}, {Control::超级列表框2, "播放", 100},
      {Control::超级列表框2, "状态", 70},
  };
  for (const Column& c : columns) controls_.table_add_column(c.list, c.title, c.width);
}

// Each handler starts the new job before it clears anything, so that a
// superseded worker's writes stop before the controls are emptied.

void MainWindow::query_clicked() {
  const Job job = state_.searches.start();
  controls_.table_clear(Control::超级列表框1);
  workers_.start([bench = bench_, search = workers_.search, job] { search(bench, job); });
}

void MainWindow::album_clicked() {
  const Job job = state_.listings.start();
  controls_.selector_clear(Control::组合框1);
  controls_.table_clear(Control::超级列表框2);
  state_.first_load.store(true, std::memory_order_relaxed);
  state_.current_page.store(1, std::memory_order_relaxed);
  workers_.start([bench = bench_, listing = workers_.listing, job] { listing(bench, job); });
}

void MainWindow::page_chosen() {
  const Job job = state_.listings.start();
  controls_.table_clear(Control::超级列表框2);
  state_.first_load.store(false, std::memory_order_relaxed);
  state_.current_page.store(
      controls_.selector_value(Control::组合框1, controls_.selector_chosen_index(Control::组合框1)),
      std::memory_order_relaxed);
  workers_.start([bench = bench_, listing = workers_.listing, job] { listing(bench, job); });
}

void MainWindow::download_clicked() {
  // One download at a time: a press while one runs starts nothing.
  if (state_.download_running.exchange(true, std::memory_order_relaxed)) return;
  const bool started = workers_.start([bench = bench_, download = workers_.download] {
    download(bench);
    bench.state.download_running.store(false, std::memory_order_relaxed);
  });
  if (!started) state_.download_running.store(false, std::memory_order_relaxed);
}

}  // namespace orvendel
