#pragma once
// The program from start to end.

#include <functional>

#include "app/main_window.h"
#include "text/text_types.h"

namespace orvendel {

// Creates the application (reading no command line) and the window with
// site_base and workers, shows it, and runs the event loop until the window
// is closed. Then the process ends at once with exit code 0: nothing waits
// for running workers, and no destructor runs that a worker still inside a
// control operation could race with. started, when given, runs on the GUI
// thread once the window is shown and before the loop starts (tests script
// a session through it).
[[noreturn]] void run_program(const Text& site_base, Workers workers = {},
                              const std::function<void(MainWindow&)>& started = {});

}  // namespace orvendel
