// Work that a thread inside a listener or callback must not wait for, such
// as closing a link (which waits for the link's event thread) or destroying
// a device (which waits for its deliveries on other threads).
//
// Each piece runs on a thread of its own, started for it and ending when it
// is done, so that pieces never wait for each other. The process's pool
// owns these threads: each one started joins those that have ended, and the
// process's end joins the last ones (a thread that ends after that lets go
// of itself). The pool itself is never destroyed, since a piece may still
// run while the process ends.
#pragma once

#include <functional>

namespace pelorixj {

// Starts work on a new thread; runs it here when no thread can be started.
// What work throws is dropped.
void HandOff(std::function<void()> work);

}  // namespace pelorixj
