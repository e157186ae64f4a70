#pragma once

#include <optional>
#include <string>

namespace quorvane {

// How the shell should show the application it starts.
enum class ShowMode { Normal, Minimized, Maximized, Hidden };

// The desktop services the window's logic uses, one implementation per platform.
class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // The user's Documents folder exactly as the system stores it, or empty when it is not set.
  // Throws std::runtime_error when the stored setting cannot be read as a folder name.
  virtual std::string DocumentsFolder() = 0;
  // Asks the desktop to open file with its associated application, in working_folder (none
  // when empty). The outcome is not reported.
  virtual void OpenWithShell(const std::string& file, const std::string& parameters,
                             const std::string& working_folder, ShowMode mode) = 0;
  // The title of the window the user is working in, or nothing when there is none or it cannot
  // be known.
  virtual std::optional<std::string> ForegroundWindowTitle() = 0;
  // Creates (or empties) the file at path and keeps it open until the process ends.
  // Throws std::runtime_error when it cannot be created.
  virtual void CreateKeptOpenFile(const std::string& path) = 0;
};

// The process-wide decimal separator of the C library's number formatting.
class DecimalSeparator {
 public:
  virtual ~DecimalSeparator() = default;
  // The separator in force now; remembers what is needed to restore it.
  virtual char Current() = 0;
  // Makes "." the separator for the whole process.
  virtual void SetDot() = 0;
  // Puts back the separator that was in force when Current() was last called.
  virtual void Restore() = 0;
};

// The decimal separator of the C library's numeric locale (LC_NUMERIC).
class CLocaleDecimalSeparator final : public DecimalSeparator {
 public:
  char Current() override;
  void SetDot() override;
  void Restore() override;

 private:
  std::string saved_locale_ = "C";
};

}  // namespace quorvane
