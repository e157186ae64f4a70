#include "app/settings/form_storage.h"

#include <cstdio>
#include <exception>

#include "text/number_text.h"

namespace quorvane {

namespace {

// The words of a position text: longest runs of characters other than blank and comma.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == ',') {
      if (!word.empty()) {
        words.push_back(word);
      }
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) {
    words.push_back(word);
  }
  return words;
}

int WordOr(const std::vector<std::string>& words, std::size_t index, int default_value) {
  return index < words.size() ? ParseStoredInteger(words[index], default_value) : default_value;
}

std::string FourIntegers(int a, int b, int c, int d) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
  return text;
}

}  // namespace

int ParseStoredInteger(const std::string& text, int default_value) {
  std::string_view digits = text;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  // A "+" may lead a number, not another sign: "+-5" is no integer.
  if (base == 10 && digits.size() > 1 && digits[0] == '+' && digits[1] != '-') {
    digits.remove_prefix(1);
  }
  if (base == 16) {
    // Hexadecimal is a bit pattern: "0xFFFFFFFF" is -1.
    const auto value = ParseWhole<unsigned>(digits, 16);
    return value ? static_cast<int>(*value) : default_value;
  }
  return ParseWhole<int>(digits).value_or(default_value);
}

TFormPlacement::TFormPlacement(StoreContext context) : context_(std::move(context)) {}

void TFormPlacement::RunReported(const std::function<void()>& pass) {
  try {
    pass();
  } catch (const std::exception& error) {
    context_.report_error(error.what());
  }
}

void TFormPlacement::RestoreAtShow() {
  if (Active) {
    RunReported([this] { RestoreWindowSettings(); });
  }
}

void TFormPlacement::SaveAtCloseQuery() {
  if (Active) {
    RunReported([this] { SaveWindowSettings(); });
  }
}

void TFormPlacement::SaveAtDestroy() {
  if (Active && !HasSaved) {
    SavingAtDestroy = true;
    RunReported([this] { SaveWindowSettings(); });
    SavingAtDestroy = false;
  }
}

std::string TFormPlacement::ReadString(ProfileFile& file, const std::string& key,
                                       const std::string& default_value) {
  return file.ReadString(context_.section, key, default_value);
}

int TFormPlacement::ReadInteger(ProfileFile& file, const std::string& key, int default_value) {
  return ParseStoredInteger(ReadString(file, key, ""), default_value);
}

void TFormPlacement::WriteString(ProfileFile& file, const std::string& key,
                                 const std::string& value) {
  // The profile functions strip one enclosing pair of quotes when reading: a value that has
  // such a pair of its own gets another, so that it reads back as written.
  const bool enclosed = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
  file.WriteString(context_.section, key, enclosed ? "\"" + value + "\"" : value);
}

void TFormPlacement::WriteInteger(ProfileFile& file, const std::string& key, int value) {
  WriteString(file, key, std::to_string(value));
}

std::string TFormPlacement::ScreenKey(const std::string& key) {
  const Point size = context_.window.PrimaryScreenSize();
  return key + "(" + std::to_string(size.x) + "x" + std::to_string(size.y) + ")";
}

void TFormPlacement::RestoreWindowSettings() {
  HasSaved = false;
  std::unique_ptr<ProfileFile> file = context_.files.Open(context_.file_name);
  try {
    if (ReadInteger(*file, "FormVersion", 0) >= Version) {
      ReadWindowPlacement(*file);
      HasRestored = true;
      RestoreStoredProperties(*file);
    }
    HasRestored = true;
    file->Release();
  } catch (...) {
    HasRestored = true;
    file->Release();
    SetMaximizedOrigin();
    throw;
  }
  SetMaximizedOrigin();
}

void TFormPlacement::ReadWindowPlacement(ProfileFile& file) {
  PlacementWindow& window = context_.window;
  WindowPlacement placement = window.GetPlacement();
  const Rect current = placement.normal;
  if (!window.IsVisible()) {
    placement.show_command = kShowHidden;  // applying the record must not show the window
  }

  placement.flags = ReadInteger(file, "Flags", placement.flags);
  bool found = false;
  std::string text = ReadString(file, ScreenKey("MinMaxPos"), "");
  if (text.empty()) {
    text = ReadString(file, "MinMaxPos", "");
  }
  if (!text.empty()) {
    const auto words = Words(text);
    placement.min_position = {WordOr(words, 0, 0), WordOr(words, 1, 0)};
    placement.max_position = {WordOr(words, 2, 0), WordOr(words, 3, 0)};
    found = true;
  }
  text = ReadString(file, ScreenKey("NormPos"), "");
  if (text.empty()) {
    text = ReadString(file, "NormPos", "");
  }
  if (!text.empty()) {
    const auto words = Words(text);
    placement.normal = {WordOr(words, 0, current.left), WordOr(words, 1, current.top),
                        WordOr(words, 2, current.right), WordOr(words, 3, current.bottom)};
    found = true;
  }
  const int pixels_per_inch = ReadInteger(file, "PixelsPerInch", window.PixelsPerInch());
  if (found && pixels_per_inch == window.PixelsPerInch() &&
      placement.normal.right > placement.normal.left) {
    // A monitor unplugged since the last run must not leave the window where nobody sees it.
    placement.normal = BringOntoScreen(placement.normal, window.Screens());
    window.SetPlacement(placement);
  }

  WindowState state = WindowState::Normal;
  switch (ReadInteger(file, "ShowCmd", 0)) {
    case 2:
    case 6:
    case 7:
      window.SetState(WindowState::Normal);
      window.PostMinimizeApplication();
      return;
    case 3:
      state = WindowState::Maximized;
      break;
    default:
      break;
  }
  window.SetState(state);
}

void TFormPlacement::SetMaximizedOrigin() {
  WindowPlacement placement = context_.window.GetPlacement();
  if (!context_.window.IsVisible()) {
    placement.show_command = kShowHidden;
  }
  const Point frame = context_.window.FrameThickness();
  placement.max_position = {-frame.x, -frame.y};
  context_.window.SetPlacement(placement);
}

void TFormPlacement::SaveWindowSettings() {
  if (!HasRestored && Active) {
    return;
  }
  std::unique_ptr<ProfileFile> file = context_.files.Open(context_.file_name);
  WriteInteger(*file, "FormVersion", Version);
  WriteWindowPlacement(*file);
  WriteString(*file, "Visible", SavingAtDestroy ? "1" : "0");
  SaveStoredProperties(*file);
  file->Release();  // the whole file, or the earlier one left as it was
  HasSaved = true;
}

void TFormPlacement::WriteWindowPlacement(ProfileFile& file) {
  WindowPlacement placement = context_.window.GetPlacement();
  if (context_.window.ApplicationMinimized()) {
    placement.show_command = kShowMinimized;
  }
  WriteInteger(file, "Flags", placement.flags);
  WriteInteger(file, "ShowCmd", placement.show_command);
  WriteInteger(file, "PixelsPerInch", context_.window.PixelsPerInch());
  const std::string min_max = FourIntegers(placement.min_position.x, placement.min_position.y,
                                           placement.max_position.x, placement.max_position.y);
  WriteString(file, ScreenKey("MinMaxPos"), min_max);
  WriteString(file, "MinMaxPos", min_max);
  const Rect& normal = placement.normal;
  const std::string norm = FourIntegers(normal.left, normal.top, normal.right, normal.bottom);
  WriteString(file, ScreenKey("NormPos"), norm);
  WriteString(file, "NormPos", norm);
}

void TFormStorage::ResolveStoredProps(const PropertyFinder& find) {
  resolved_.clear();
  for (const std::string& entry : StoredProps) {
    const auto dot = entry.find('.');
    if (dot == std::string::npos) {
      continue;
    }
    const std::string component = TrimBlanks(entry.substr(0, dot));
    const std::string property = TrimBlanks(entry.substr(dot + 1));
    if (component.empty() || property.empty()) {
      continue;
    }
    if (auto found = find(component, property)) {
      resolved_.push_back(std::move(*found));
    }
  }
}

void TFormStorage::RestoreStoredProperties(ProfileFile& file) {
  for (const StoredProperty& property : resolved_) {
    // A value that cannot be converted keeps the control as it is, silently.
    try {
      const std::string current = property.get_text();
      property.set_text(TrimBlanks(ReadString(file, property.Key(), current)));
    } catch (const std::invalid_argument&) {
    }
  }
}

void TFormStorage::SaveStoredProperties(ProfileFile& file) {
  for (const StoredProperty& property : resolved_) {
    const std::string text = TrimBlanks(property.get_text());
    if (property.absent_text && text == *property.absent_text &&
        TrimBlanks(ReadString(file, property.Key(), text)) == text) {
      continue;  // the file reads as the value already, with the key or without it
    }
    WriteString(file, property.Key(), text);
  }
}

}  // namespace quorvane
