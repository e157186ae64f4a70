#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quorvane {

// One control property that a store saves and restores, as text.
struct StoredProperty {
  std::string component;  // "RxSpinEdit1"
  std::string property;   // the name as the control declares it: "Value", "Checked"
  std::function<std::string()> get_text;
  // Converts text and sets it through the control's ordinary setter; throws
  // std::invalid_argument when the text is not a value of the property's kind.
  std::function<void(const std::string&)> set_text;
  // For a property added after the settings file's keys were settled: its text when the file
  // has no key of it. While the property holds it and the file reads as it, the save leaves the
  // file as it is, so the file of a user who never changed the control stays as it was. Empty:
  // the key is written at every save, as every other one is.
  std::optional<std::string> absent_text;

  std::string Key() const { return component + "_" + property; }
};

// Finds a component's property by the names an entry gives (property without regard to case).
using PropertyFinder = std::function<std::optional<StoredProperty>(const std::string& component,
                                                                   const std::string& property)>;

// The window whose controls' properties the stores keep, and whose error report tells what
// went wrong with the settings file.
class StoredControls {
 public:
  virtual ~StoredControls() = default;
  // The property an entry names ("RxSpinEdit1", "Value"), or nothing.
  virtual std::optional<StoredProperty> FindStoredProperty(const std::string& component,
                                                           const std::string& property) = 0;
  // Shows an error as the window shows its others.
  virtual void ReportError(const std::string& message) = 0;
};

// A floating property's text: general format with at most 18 significant digits, "." as the
// decimal separator whatever the locale, exponent notation only below 0.00001 or at 10^18 and
// above ("60", "0.5", "1E-6").
std::string FloatPropertyText(double value);
// Reads a floating property's text ("." as separator, blanks around ignored); throws
// std::invalid_argument when it is not a number.
double ParseFloatPropertyText(const std::string& text);
// "True" or "False".
std::string BooleanPropertyText(bool value);
// "True" or "False" without regard to case; nothing for any other text.
std::optional<bool> ParseBooleanPropertyText(const std::string& text);

}  // namespace quorvane
