#include "app/settings/simulator_settings.h"

#include <exception>
#include <memory>

namespace quorvane {

sources::SimulatorChoices ReadSimulatorSettings(ProfileFile& file) {
  const auto value = [&file](const char* key) {
    return file.ReadString(kSimulatorsSection, key, "");
  };
  const auto host = [&value](const char* key) -> std::optional<std::string> {
    std::string text = value(key);
    return sources::PlausibleHost(text) ? std::optional<std::string>(std::move(text))
                                        : std::nullopt;
  };
  const auto port = [&value](const char* key) { return sources::ParsePort(value(key)); };

  sources::SimulatorChoices choices;
  choices.xplane_host = host("XPlaneHost");
  choices.xplane_port = port("XPlanePort");
  choices.flightgear_address = host("FlightGearAddress");
  choices.flightgear_port = port("FlightGearPort");
  choices.flightgear_host = host("FlightGearHost");
  return choices;
}

sources::SimulatorAddresses SimulatorAddressesFor(ProfileFiles& files, const std::string& file_name,
                                                  const sources::SimulatorChoices& command_line) {
  sources::SimulatorAddresses addresses;
  try {
    const std::unique_ptr<ProfileFile> file = files.Open(file_name);
    ReadSimulatorSettings(*file).ApplyTo(addresses);
    file->Release();  // nothing was written: nothing is saved
  } catch (const std::exception&) {
    // A settings file that cannot be read is no reason not to look for a simulator: the
    // defaults serve, as they do for the window's settings.
  }
  command_line.ApplyTo(addresses);
  return addresses;
}

}  // namespace quorvane
