#include "files/document_path.h"

#include "files/platform_files.h"

namespace quorvane {

std::string DocumentPath(const std::string& folder, std::string_view name) {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, kPathSeparator).append(name);
  return path;
}

}  // namespace quorvane
