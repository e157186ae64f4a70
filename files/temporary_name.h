#pragma once

// The names of the temporary files that publishing writes beside its target, on every platform:
// "<target>.<process id>-<number>.tmp".

#include <string>
#include <string_view>

namespace quorvane {

// The temporary file's path for target, made by the process `process_id`, its `number`th.
std::string TemporaryName(const std::string& target, unsigned long process_id,
                          unsigned long number);

// The process id in name, when name is that of a temporary file made for a target whose file
// name (without its folder) is base; 0 when it is no such name.
unsigned long TemporaryOwner(std::string_view name, std::string_view base);

}  // namespace quorvane
