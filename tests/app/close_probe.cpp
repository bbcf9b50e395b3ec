// A session that closes the window while one worker is waiting inside a
// control operation and another is in the middle of a long transfer. The
// program must then end at once with exit code 0 and print nothing.
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/program.h"
#include "app/qt_text.h"

using namespace orvendel;

namespace {
std::atomic<int> operations{0};
}

int main() {
  Workers workers;
  // A search that writes without end.
  workers.search = [](const Workbench& bench, Job) {
    for (;;) {
      const int row = bench.controls.table_append_row(Control::超级列表框1);
      bench.controls.table_set_cell(Control::超级列表框1, row, 1, "专辑");
      ++operations;
    }
  };
  // A download that waits for data that never comes.
  workers.download = [](const Workbench&) {
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
  };
  run_program("http://127.0.0.1:9", workers, [](MainWindow& window) {
    QTimer::singleShot(0, &window, [&window] {
      window.findChild<QPushButton*>(to_qstring("按钮1"))->click();
      window.findChild<QPushButton*>(to_qstring("按钮2"))->click();
    });
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window] {
      if (operations < 100) return;
      // Busy for a moment, so that the search is surely waiting in its next
      // operation when the window closes.
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      window.close();
    });
    poll->start(5);
  });
}
