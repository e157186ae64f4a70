#include "app/settings/ini_file.h"

#include <algorithm>
#include <optional>

#include "files/publish_file.h"
#include "files/text_file.h"

namespace quorvane {

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') {
    return std::nullopt;
  }
  const auto close = line.find(']');
  if (close == std::string_view::npos) {
    return std::nullopt;
  }
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line; nothing for other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos || SectionOf(line)) {
    return std::nullopt;
  }
  const std::string_view key = Trim(line.substr(0, equals));
  if (key.empty() || key.front() == ';') {
    return std::nullopt;
  }
  return key;
}

}  // namespace

IniText::IniText(std::string_view text) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    lines_.emplace_back(line);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
}

std::string IniText::ReadString(const std::string& section, const std::string& key,
                                const std::string& default_value) const {
  bool inside = false;
  for (const std::string& line : lines_) {
    if (const auto name = SectionOf(line)) {
      inside = SameName(*name, section);
      continue;
    }
    const auto found = KeyOf(line);
    if (!inside || !found || !SameName(*found, key)) {
      continue;
    }
    std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
    // One enclosing pair of matching quotes is not part of the value.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueLength));
  }
  return default_value;
}

void IniText::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  const std::string entry = key + "=" + value;
  bool inside = false;
  std::optional<std::size_t> section_end;  // index after the section's last non-blank line
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionOf(lines_[i])) {
      if (inside) {
        break;
      }
      inside = SameName(*name, section);
      if (inside) {
        section_end = i + 1;
      }
      continue;
    }
    if (!inside) {
      continue;
    }
    if (const auto found = KeyOf(lines_[i]); found && SameName(*found, key)) {
      lines_[i] = entry;
      return;
    }
    if (!Trim(lines_[i]).empty()) {
      section_end = i + 1;
    }
  }
  if (section_end) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*section_end), entry);
    return;
  }
  lines_.push_back("[" + section + "]");
  lines_.push_back(entry);
}

std::string IniText::Text() const {
  return CrLfText(lines_);
}

IniFile::IniFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {
  files_.RemoveAbandonedTemporaries(path_);
  std::string text;
  std::string why;
  const auto read = files_.ReadWhole(path_, kMaxFileSize, text, why);
  read_whole_ = read != FileSystem::ReadResult::kUnreadable;
  text_ = IniText(text);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& default_value) {
  return text_.ReadString(section, key, default_value);
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  text_.WriteString(section, key, value);
  changed_ = true;
}

void IniFile::Release() {
  if (!changed_) {
    return;
  }
  changed_ = false;
  if (!read_whole_) {
    throw std::runtime_error("Unable to write to " + path_);
  }
  try {
    PublishFile(files_, path_, text_.Text());
  } catch (const FileSaveError&) {
    throw std::runtime_error("Unable to write to " + path_);
  }
}

}  // namespace quorvane
