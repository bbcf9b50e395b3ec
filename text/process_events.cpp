#include "text/process_events.h"

#include <utility>

namespace orvendel {
namespace {
thread_local std::function<void()> this_thread_hook;
}

void process_events() {
  if (this_thread_hook) this_thread_hook();
}

void set_process_events_hook(std::function<void()> hook) { this_thread_hook = std::move(hook); }

}  // namespace orvendel
