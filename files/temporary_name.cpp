#include "files/temporary_name.h"

#include <optional>

#include "text/number_text.h"

namespace quorvane {

namespace {

constexpr std::string_view kSuffix = ".tmp";

// A number as TemporaryName writes it: up to nine decimal digits and nothing else.
std::optional<unsigned long> Number(std::string_view text) {
  return text.size() <= 9 ? ParseWhole<unsigned long>(text) : std::nullopt;
}

}  // namespace

std::string TemporaryName(const std::string& target, unsigned long process_id,
                          unsigned long number) {
  return target + "." + std::to_string(process_id) + "-" + std::to_string(number) +
         std::string(kSuffix);
}

unsigned long TemporaryOwner(std::string_view name, std::string_view base) {
  if (name.size() <= base.size() + 1 + kSuffix.size() || !name.starts_with(base) ||
      name[base.size()] != '.' || !name.ends_with(kSuffix)) {
    return 0;
  }
  const std::string_view middle =
      name.substr(base.size() + 1, name.size() - base.size() - 1 - kSuffix.size());
  const auto dash = middle.find('-');
  if (dash == std::string_view::npos) {
    return 0;
  }
  const auto owner = Number(middle.substr(0, dash));
  return owner && Number(middle.substr(dash + 1)) ? *owner : 0;
}

}  // namespace quorvane
