#include "app/main_program.h"

#include <chrono>

#include "app/settings/simulator_settings.h"
#include "app/user_folder.h"
#include "files/platform_files.h"
#include "link/platform_link_services.h"
#include "net/socket_services.h"

namespace quorvane {

CommandLine TakeCommandLine(const std::vector<std::string>& arguments,
                            const std::function<void(const std::string& why)>& warn) {
  CommandLine command = ParseCommandLine(arguments, UserFolderDescription());
  if (!command.exit_status && command.user_folder) {
    const std::string why = EnterUserFolder();
    if (!why.empty()) {
      warn(why);
    }
  }
  return command;
}

MainView& MainProgram::ViewFor(MainView& window, std::optional<StatusLogView>& log,
                               const std::string& path) {
  if (path.empty()) {
    return window;
  }
  log.emplace(window, path);
  return *log;
}

MainProgram::MainProgram(FrontEnd front_end, const CommandLine& command,
                         const std::string& program_path)
    : documents_(PlatformFileSystem()),
      connector_(PlatformLinkServices(), net::PlatformSocketServices(),
                 SimulatorAddressesFor(front_end.settings_files, SettingsFileName(program_path),
                                       command.simulators),
                 source_clock_),
      simulator_(connector_, ProcessLinkInterrupt()),
      form_(FormContext{ViewFor(front_end.view, status_log_, command.status_log),
                        front_end.platform, decimal_separator_, simulator_, documents_.kml,
                        front_end.update_timer, front_end.retry_timer, front_end.chart_timer,
                        command.remaining, documents_.live_view, documents_.track,
                        documents_.recorder, [] { return std::chrono::system_clock::now(); },
                        ProcessLinkInterrupt(), documents_.earlier_runs, &front_end.live_timer},
            SettingsPlace{front_end.placement, front_end.settings_files,
                          SettingsFileName(program_path)}) {
  ProcessLinkInterrupt().SetWhileWaiting(std::move(front_end.while_link_waits));
}

MainProgram::~MainProgram() {
  ProcessLinkInterrupt().SetWhileWaiting(nullptr);
}

void MainProgram::Start() {
  form_.OnCreate();
  form_.OnShow();
}

}  // namespace quorvane
