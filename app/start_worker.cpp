#include "app/start_worker.h"

#include <thread>
#include <utility>

namespace orvendel {

bool start_worker(std::function<void()> routine) {
  try {
    std::thread(std::move(routine)).detach();
    return true;
  } catch (...) {
    // std::system_error when the system refuses another thread, or
    // std::bad_alloc for the thread's state: either way there is no worker.
    return false;
  }
}

}  // namespace orvendel
