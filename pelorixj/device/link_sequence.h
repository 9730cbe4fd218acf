// The opening and closing of one control's link to its reader, as one
// sequence: a close waits for an open under way, an open that starts after
// a close has begun opens afresh, and nothing is registered on a link once
// its close has begun. The controls of both families run their links
// through it, each with its library's calls.
//
// A close on a thread inside a listener or callback (delivering_thread.h)
// takes the link and returns: the library's close, which waits for the
// link's event thread, is handed off (hand_off.h). An open or close on any
// other thread first waits for the library's closes begun before it, here
// or handed off, so that it returns only once those links are really closed. The lock that orders the
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
    // Whether a link just attached was lost before the callbacks were on
    // it, so that they will never hear of the loss. May be empty: the
    // library tells of such a loss itself.
    std::function<bool(Link)> lostUnheard;
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
  // Waits for the library's closes under way (the library may call back
  // into the control until its close returns); so must not run on a thread
  // inside a listener or callback while a close it handed off runs.
  ~LinkSequence();
  LinkSequence(const LinkSequence&) = delete;
  LinkSequence& operator=(const LinkSequence&) = delete;

  // The open link; 0 when none.
  Link Current() const { return link_; }

  // True when a link is open, opened here or before. A link that the
  // library no longer holds open is closed first and a new one opened. A
  // new link lost unheard is closed unreported, and the open fails. Throws
  // what the calls throw.
  bool Open();
  // Closes the open link, if any. Each link is closed once, whichever of
  // several closing threads takes it. Throws what the calls throw; a
  // library that cannot close links leaves the link open.
  void Close();
  // Closes the link only while it is still the open one: for a report that
  // the link is gone. Never waits for closes begun before.
  void CloseIfOpen(Link link);

 private:
  struct Closes;
  // A link taken out of the sequence, and the ticket of its close.
  struct Taken {
    Link link = 0;
    uint64_t ticket = 0;
  };

  // Takes the open link (only that one when expected is not 0) out of the
  // sequence; link 0 when there is none.
  Taken Take(Link expected);
  // report: whether the listener hears of the change.
  Taken TakeLocked(Link current, bool report);
  // Closes a link taken, here or handed off, and ends its ticket.
  void Finish(const Taken& taken);
  void WaitForEarlierCloses();

  const Calls calls_;
  std::atomic<Link> link_{0};
  std::mutex mutex_;
  // Shared with the closes handed off, which may outlive this.
  std::shared_ptr<Closes> closes_;
  ConnectionStateReports reports_;
};

}  // namespace pelorixj
