#pragma once

// Text written from a route one point at a time and kept as the route grows, so that writing the
// route again costs only its new points and a copy, however long the flight.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "route/route.h"

namespace quorvane {

class RouteText {
 public:
  // Appends the text of route's point at index to text. Called once for each point, in order;
  // whatever goes before a point (the start of a segment) is its text too.
  using AppendPoint = std::function<void(std::string& text, const Route& route, std::size_t index)>;

  // route must outlive this object.
  RouteText(const Route& route, AppendPoint append_point);

  // The text of every point of the route, in order: the points added since the last call are
  // appended first, and after the route was cleared the text starts over.
  const std::string& Text();

 private:
  const Route& route_;
  AppendPoint append_point_;
  std::string text_;
  std::size_t points_written_ = 0;
  std::uint64_t generation_;
};

}  // namespace quorvane
