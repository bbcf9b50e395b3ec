#pragma once
// Worker threads: started, released at once, never waited for.

#include <functional>

namespace orvendel {

// Runs routine on a new detached thread with the default stack size; nobody
// waits for, counts or stops the thread, and it ends when routine returns.
// Returns true when the thread was started. When no thread can be created
// nothing happens: routine is dropped without running and false is returned
// (handlers that set a flag for the worker use it to clear the flag again).
bool start_worker(std::function<void()> routine);

}  // namespace orvendel
