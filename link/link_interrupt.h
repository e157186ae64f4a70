#pragma once

#include <cstdint>
#include <functional>

namespace quorvane {

// A way to give up the link's waits for a server: a termination request or a closing window
// must never be held up by a server that does not answer. While requested, a waiting exchange
// ends at once, a pause is cut short and no further attempt is made; the link reports the
// exchange as failed. One implementation per platform (posix/, win32/), waited on by that
// platform's link services.
class LinkInterrupt {
 public:
  // How often, at most, the waits call back while they wait.
  static constexpr std::uint32_t kWhileWaitingMs = 100;

  virtual ~LinkInterrupt() = default;

  // Asks every wait to end, now and until Clear. Safe in a signal handler (POSIX) and from any
  // thread.
  virtual void Request() noexcept = 0;
  // Lets the waits go on again (a close that was not carried out).
  virtual void Clear() = 0;
  virtual bool Requested() = 0;

  // Sets what a wait runs about every kWhileWaitingMs while it waits for a server: the window
  // takes the events that may not wait (a close, a repaint) and may call Request. The callback
  // must not use the link; it is never run inside itself.
  void SetWhileWaiting(std::function<void()> callback) { while_waiting_ = std::move(callback); }
  bool HasWhileWaiting() const { return static_cast<bool>(while_waiting_); }
  // Runs the callback, if there is one and it is not running already.
  void WhileWaiting();

 private:
  std::function<void()> while_waiting_;
  bool in_while_waiting_ = false;
};

}  // namespace quorvane
