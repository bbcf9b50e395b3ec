#pragma once
// Letting a thread's own event queue run during long text work.

#include <functional>

namespace orvendel {

// Runs the events already waiting for the calling thread and returns; it
// never waits for one to arrive. Only a thread that installed a hook has a
// queue to run (the window's thread); on every other thread, worker threads
// included, it returns at once.
void process_events();

// Installs the hook that process_events calls on this thread, replacing any
// earlier one; an empty function removes it. The hook must not block.
void set_process_events_hook(std::function<void()> hook);

}  // namespace orvendel
