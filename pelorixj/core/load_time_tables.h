// The process-wide tables and the bindings of the device libraries, built
// when the Java VM loads Pelorixj, before any native method can run.
#pragma once

namespace pelorixj {

// Builds, in this order: the event names, the newer platform's device
// registry, the older family's, the older family's reader models; then
// binds Quorlan and Brannet. Each is also built on its first use, by a
// function-local static (thread-safe), so that programs that link the
// library's parts need not call this. A missing device library or function
// is not reported. Throws only when a table cannot be built.
void BuildLoadTimeTables();

}  // namespace pelorixj
