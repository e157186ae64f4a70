#include "route/route_text.h"

#include <utility>

namespace quorvane {

RouteText::RouteText(const Route& route, AppendPoint append_point)
    : route_(route), append_point_(std::move(append_point)), generation_(route.Generation()) {}

const std::string& RouteText::Text() {
  if (route_.Generation() != generation_) {
    text_.clear();
    points_written_ = 0;
    generation_ = route_.Generation();
  }
  for (; points_written_ < route_.Points().size(); ++points_written_) {
    append_point_(text_, route_, points_written_);
  }
  return text_;
}

}  // namespace quorvane
