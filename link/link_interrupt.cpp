#include "link/link_interrupt.h"

namespace quorvane {

void LinkInterrupt::WhileWaiting() {
  // The callback processes window events; a wait started by one of them (which the window's
  // logic prevents) must not run it again inside itself.
  if (!while_waiting_ || in_while_waiting_) {
    return;
  }
  in_while_waiting_ = true;
  try {
    while_waiting_();
  } catch (...) {
    in_while_waiting_ = false;
    throw;
  }
  in_while_waiting_ = false;
}

}  // namespace quorvane
