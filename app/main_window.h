#pragma once
// The program's one window: its controls, the columns of its list views and
// the four event handlers, each of which starts one worker.

#include <QWidget>
#include <functional>

#include "app/start_worker.h"
#include "app/widget_controls.h"
#include "catalogue/shared_state.h"
#include "catalogue/workbench.h"
#include "catalogue/workflows.h"
#include "text/text_types.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvendel {

class PageSelector;
class ReportView;

// What the handlers start. The defaults are the real workflows on real
// threads; tests put recording routines in their place.
struct Workers {
  std::function<void(const Workbench&, Job)> search = search_albums;
  std::function<void(const Workbench&, Job)> listing = list_album_tracks;
  std::function<void(const Workbench&)> download = download_tracks;
  // Starts a routine on a thread of its own; false when no thread could be made.
  std::function<bool(std::function<void()>)> start = start_worker;
};

// The client area is 664 x 336 and fixed: the two group boxes at 8,8 (280 x
// 320) and 288,8 (368 x 320) with the form's 8-pixel margin to the right and
// below. The window stands at 50,50 on the screen.
inline constexpr int kClientWidth = 664;
inline constexpr int kClientHeight = 336;

class MainWindow final : public QWidget {
 public:
  // site_base begins every URL the workers fetch ("http://www.orvendel.com").
  // Creates every control, adds the nine list columns, and installs this
  // thread's process-events hook (removed again by the destructor). The
  // window is shown by the caller.
  //
  // Workers run on after the handler that started them has returned, and use
  // controls() and state(): the window must outlive every worker it started.
  explicit MainWindow(Text site_base, Workers workers = {});
  ~MainWindow() override;

  // The control operations on this window's widgets, callable from any thread.
  Controls& controls() { return controls_; }
  SharedState& state() { return state_; }

 private:
  // The handlers, on the GUI thread.
  void query_clicked();     // 按钮1
  void album_clicked();     // 超级列表框1, any left click
  void page_chosen();       // 组合框1, an entry chosen from its list
  void download_clicked();  // 按钮2

  // What the window's creation does once every control exists: the columns.
  void add_columns();

  QGroupBox* 分组框1;
  QLineEdit* 编辑框1;
  QPushButton* 按钮1;
  ReportView* 超级列表框1;
  QGroupBox* 分组框2;
  PageSelector* 组合框1;
  QRadioButton* 单选框1;
  QRadioButton* 单选框2;
  QPushButton* 按钮2;
  ReportView* 超级列表框2;

  WidgetControls controls_;
  SharedState state_;
  Workbench bench_;
  Workers workers_;
};

}  // namespace orvendel
