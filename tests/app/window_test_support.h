#pragma once
// What the window tests share: finding controls by their names, waiting for
// workers, and workers that record what the handlers started.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/report_view.h"
#include "web/code_pages.h"

namespace orvendel::testing {

// Qt warns on stderr when XDG_RUNTIME_DIR is unset; give it a private one.
inline void ensure_runtime_dir() {
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  char dir[] = "/tmp/orvendel-runtime-XXXXXX";
  if (mkdtemp(dir) != nullptr) qputenv("XDG_RUNTIME_DIR", dir);
}

// GBK text as UTF-8, for failure messages on a UTF-8 terminal.
inline std::string readable(const Text& gbk) { return gbk_to_utf8(gbk); }

// The control named name in window, null when there is none of that type.
template <typename Widget>
Widget* find(QWidget& window, const Text& name) {
  return window.findChild<Widget*>(to_qstring(name));
}

// Runs the event loop until done() holds; false after timeout_ms (a hang).
// Unlike QTest::qWaitFor, which sleeps between its rounds, the loop handles
// each worker's control operation the moment it is posted.
inline bool wait_until(const std::function<bool()>& done, int timeout_ms = 10000) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  poll.start(2);
  QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

// --- What a user does to the window, and what they see. ---

inline void click(QWidget& window, const Text& button) {
  auto* widget = find<QAbstractButton>(window, button);
  ASSERT_NE(widget, nullptr) << readable(button);
  QTest::mouseClick(widget, Qt::LeftButton);
}

// A left click on a row of a list view (on its first shown column).
inline void click_row(QWidget& window, const Text& list, int row) {
  auto* view = find<ReportView>(window, list);
  ASSERT_NE(view, nullptr) << readable(list);
  const QRect cell = view->visualRect(view->model()->index(row, 1));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

// A left click on the empty area below the rows of a list view.
inline void click_empty_area(QWidget& window, const Text& list) {
  auto* view = find<ReportView>(window, list);
  ASSERT_NE(view, nullptr) << readable(list);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, {40, view->viewport()->height() - 8});
}

// Opens 组合框1's list and clicks the entry, as a user does.
inline void choose_page(QWidget& window, int entry) {
  auto* combo = find<QComboBox>(window, "组合框1");
  ASSERT_NE(combo, nullptr);
  combo->showPopup();
  QAbstractItemView* popup = combo->view();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(popup->window()));
  // The list ignores a release that follows its opening too closely: that
  // would be the release of the click that opened it.
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  const QPoint at = popup->visualRect(popup->model()->index(entry, 0)).center();
  QTest::mouseMove(popup->viewport(), at);
  QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, at);
  ASSERT_FALSE(popup->isVisible());
}

// Types text as key presses that carry it, as an input method delivers
// Chinese characters.
inline void type(QWidget* widget, const Text& text) {
  for (const QChar c : to_qstring(text)) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// The caption of 分组框1.
inline Text caption(QWidget& window) {
  auto* box = find<QGroupBox>(window, "分组框1");
  return box ? to_text(box->title()) : Text();
}

// Workers that record each start and return at once, except a download
// while hold_download is set, which waits until it is cleared.
class RecordingWorkers {
 public:
  enum class Kind { kSearch, kListing, kDownload };
  struct Started {
    Kind kind;
    Job job;
    int current_page;  // the shared state as the worker found it
    bool first_load;
  };

  Workers workers() {
    Workers w;
    w.search = [this](const Workbench& bench, Job job) { record(Kind::kSearch, bench, job); };
    w.listing = [this](const Workbench& bench, Job job) { record(Kind::kListing, bench, job); };
    w.download = [this](const Workbench& bench) {
      record(Kind::kDownload, bench, Job());
      while (hold_download) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    w.start = [this](std::function<void()> routine) {
      ++starts;
      if (refuse_threads) return false;
      ++running;
      return start_worker([this, routine = std::move(routine)] {
        routine();
        --running;
      });
    };
    return w;
  }

  // What the workers recorded so far, in the order they ran.
  std::vector<Started> started() {
    std::lock_guard lock(mutex_);
    return started_;
  }
  // Waits until count workers have recorded their start.
  bool wait_for_started(std::size_t count) {
    return wait_until([&] { return started().size() >= count; });
  }

  std::atomic<int> starts{0};   // calls of the thread starter, made by the handlers
  std::atomic<int> running{0};  // workers not yet returned
  std::atomic<bool> hold_download{false};
  std::atomic<bool> refuse_threads{false};  // the starter fails as if no thread could be made

 private:
  void record(Kind kind, const Workbench& bench, Job job) {
    std::lock_guard lock(mutex_);
    started_.push_back({kind, job, bench.state.current_page.load(), bench.state.first_load.load()});
  }

  std::mutex mutex_;
  std::vector<Started> started_;
};

// A shown window whose handlers start recording workers; it waits for every
// worker to return before the window goes.
class Session {
 public:
  Session() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  ~Session() {
    recorder.hold_download = false;
    EXPECT_TRUE(wait_until([&] { return recorder.running == 0; })) << "a worker never returned";
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  template <typename Widget>
  Widget* control(const Text& name) {
    Widget* widget = find<Widget>(window, name);
    EXPECT_NE(widget, nullptr) << readable(name);
    return widget;
  }
  ReportView* list(const Text& name) { return control<ReportView>(name); }
  Controls& controls() { return window.controls(); }

  RecordingWorkers recorder;  // outlives the window, whose workers use it
  MainWindow window{"http://127.0.0.1:9", recorder.workers()};
};

class WindowTest : public ::testing::Test, public Session {};

}  // namespace orvendel::testing
