#pragma once

#include <sys/types.h>

#include <string>

namespace quorvane::testing {

// An X server of the test's own (Xvfb, one screen of the given geometry) for the life of the
// object. Its display number is read from the pipe Xvfb writes it to once it accepts
// connections. Every wait is bounded: a server that has not reported within kStartTimeoutMs is
// killed (display() then stays empty), and one that does not end within kEndTimeoutMs of
// SIGTERM is killed too.
class PrivateXServer {
 public:
  static constexpr int kStartTimeoutMs = 10000;
  static constexpr int kEndTimeoutMs = 10000;

  explicit PrivateXServer(const std::string& screen = "800x600x24");
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // ":N", or empty when the server did not start.
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace quorvane::testing
