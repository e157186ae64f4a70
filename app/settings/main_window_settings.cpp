#include "app/settings/main_window_settings.h"

#include "app/main_form.h"

namespace quorvane {

namespace {

StoreContext ContextFor(TForm1& form, PlacementWindow& window, ProfileFiles& files,
                        const std::string& file_name) {
  return StoreContext{window, files, file_name, "TForm1",
                      [&form](const std::string& message) { form.ReportError(message); }};
}

}  // namespace

MainWindowSettings::MainWindowSettings(TForm1& form, PlacementWindow& window, ProfileFiles& files,
                                       const std::string& file_name)
    : FormStorage1(ContextFor(form, window, files, file_name)),
      FormStorage2(ContextFor(form, window, files, file_name)) {
  FormStorage2.StoredProps = {"RxSpinEdit1.Value", "CheckBox1.Checked", "CheckBox2.Checked"};
  // The store that attaches last runs first when the window is shown.
  FormStorage1.Attach(form.Events);
  FormStorage2.Attach(form.Events);
  FormStorage2.ResolveStoredProps(
      [&form](const std::string& component, const std::string& property) {
        return form.FindStoredProperty(component, property);
      });
}

}  // namespace quorvane
