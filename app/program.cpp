#include "app/program.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "text/file_system.h"

namespace orvendel {

void run_program(const Text& site_base, Workers workers,
                 const std::function<void(MainWindow&)>& started) {
  // Qt wants an argument vector; it gets the program's name only, so that no
  // option reaches it from the command line.
  static int argc = 1;
  static char name[] = "orvendel";
  static char* argv[] = {name, nullptr};
  // Never destroyed: workers may still use the window when the process ends.
  auto* app = new QApplication(argc, argv);
  auto* window = new MainWindow(site_base, std::move(workers));
  window->show();
  if (started) started(*window);
  app->exec();
  // A download cut short by the close leaves no half-written file behind.
  remove_unfinished_files();
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace orvendel
