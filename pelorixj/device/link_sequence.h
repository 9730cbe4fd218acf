// The opening and closing of one control's link to its reader, as one
// sequence: a close waits for an open under way, an open that starts after
// a close has begun opens afresh, and nothing is registered on a link once
// its close has begun. The controls of both families run their links
// through it, each with its library's calls.
//
// A close on a thread inside a listener or callback (delivering_thread.h)
// takes the link and returns: the library's close, which waits for the
// link's event thread, is handed off (hand_off.h). An open or close on any
// other thread first waits for the closes handed off before it, so that it
// returns only once those links are really closed. The lock that orders the
// sequence is held across the library's open and registrations, never
// across a close or an event, which may call back into the sequence.
//
// Each change is reported in the order of the sequence: kStateConnected
// for every link opened, kStateDisconnected for every link taken, on the
// thread that made the change unless another thread is reporting then (see
// ConnectionStateReports).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "pelorixj/device/connection_state_reports.h"

namespace pelorixj {

class LinkSequence {
 public:
  // The library's handle of a link; 0 is none.
  using Link = intptr_t;

  struct Calls {
    // Opens a new link; 0 when none opened.
    std::function<Link()> open;
    // Registers the control's callbacks on a link just opened. When it
    // throws, the link stays the control's, and is not reported.
    std::function<void(Link)> attach;
    // Whether the library holds the link open; also asked with 0.
    std::function<bool(Link)> isOpen;
    // Whether the library can close links. When it cannot, close throws
    // without closing anything.
    std::function<bool()> canClose;
    // Runs on the thread that took a link, before its close; must not
    // wait. May be empty.
    std::function<void(Link)> taken;
    // The library's close; may wait for the link's event threads. A close
    // handed off runs a copy of it: it must not use the control.
    std::function<void(Link)> close;
  };

  // raise: the event of each change; empty when changes are not reported.
  LinkSequence(Calls calls, ConnectionStateReports::Raise raise);
  // Waits for the closes handed off (the library may call back into the
  // control until its close returns); so must not run on a thread inside a
  // listener or callback while a close it handed off runs.
  ~LinkSequence();
  LinkSequence(const LinkSequence&) = delete;
  LinkSequence& operator=(const LinkSequence&) = delete;

  // The open link; 0 when none.
  Link Current() const { return link_; }

  // True when a link is open, opened here or before. A link that the
  // library no longer holds open is closed first and a new one opened.
  // Throws what the calls throw.
  bool Open();
  // Closes the open link, if any. Each link is closed once, whichever of
  // several closing threads takes it. Throws what the calls throw; a
  // library that cannot close links leaves the link open.
  void Close();
  // Closes the link only while it is still the open one: for a report that
  // the link is gone. Never waits for closes handed off before.
  void CloseIfOpen(Link link);

 private:
  struct HandOffs;

  // Takes the open link (only that one when expected is not 0) out of the
  // sequence; 0 when there is none.
  Link Take(Link expected);
  Link TakeLocked(Link current);
  // Closes a link taken, here or handed off.
  void Finish(Link taken);
  void WaitForEarlierHandOffs();

  const Calls calls_;
  std::atomic<Link> link_{0};
  std::mutex mutex_;
  // Shared with the closes handed off, which may outlive this.
  std::shared_ptr<HandOffs> handOffs_;
  ConnectionStateReports reports_;
};

}  // namespace pelorixj
