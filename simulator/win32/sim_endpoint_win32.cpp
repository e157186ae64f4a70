// The server as FSUIPC presents itself on Windows: a hidden top-level window of the chosen class
// that answers the registered message "FsasmLib:IPC". The message's wParam is a global atom
// naming the client's shared block; the reply value is the message's result.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "link/request_block.h"
#include "simulator/sim_endpoint.h"

namespace quorvane::sim {

namespace {

// Hung exchanges are held open by nested message loops, one per exchange; past this many the
// thread stops serving messages altogether rather than run out of stack.
constexpr int kMaxHungExchanges = 64;

struct Endpoint {
  SimulatorCore& core;
  UINT ipc_message = 0;
  int hung_exchanges = 0;
};

// The client's block named by the atom, mapped for the length of one exchange.
class BlockView {
 public:
  explicit BlockView(WPARAM atom_parameter) {
    // Atoms are 16-bit; anything wider is not one.
    if (atom_parameter == 0 || atom_parameter > 0xFFFF) {
      return;
    }
    char name[256];
    if (::GlobalGetAtomNameA(static_cast<ATOM>(atom_parameter), name, sizeof name) == 0) {
      return;
    }
    mapping_ = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping_ == nullptr) {
      return;
    }
    void* view = ::MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0);
    if (view == nullptr) {
      return;
    }
    view_ = static_cast<std::uint8_t*>(view);
    // A smaller mapping would fault when the walk reached its end: such a block is refused.
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(view_, &info, sizeof info) == 0 || info.State != MEM_COMMIT ||
        info.RegionSize < block::kBlockSize) {
      Release();
    }
  }
  ~BlockView() { Release(); }
  BlockView(const BlockView&) = delete;
  BlockView& operator=(const BlockView&) = delete;

  // The mapped block of at least block::kBlockSize bytes, or nullptr.
  std::uint8_t* get() const { return view_; }

  void Release() {
    if (view_ != nullptr) {
      ::UnmapViewOfFile(view_);
      view_ = nullptr;
    }
    if (mapping_ != nullptr) {
      ::CloseHandle(mapping_);
      mapping_ = nullptr;
    }
  }

 private:
  HANDLE mapping_ = nullptr;
  std::uint8_t* view_ = nullptr;
};

// Never answers the exchange under way: returning from the window procedure would. The thread
// goes on serving its messages meanwhile, so later exchanges still arrive (and hang in turn) and
// a close request still ends the program; the process then exits from here.
[[noreturn]] void HangWithoutAnswering(Endpoint& endpoint) {
  if (++endpoint.hung_exchanges > kMaxHungExchanges) {
    for (;;) {
      ::Sleep(INFINITE);
    }
  }
  MSG message;
  BOOL got = 0;
  while ((got = ::GetMessageA(&message, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  std::exit(got == 0 ? static_cast<int>(message.wParam) : 1);
}

LRESULT Exchange(Endpoint& endpoint, WPARAM atom_parameter) {
  std::optional<std::uint32_t> reply;
  {
    BlockView block(atom_parameter);
    if (block.get() == nullptr) {
      return 0;  // no block to serve: not a request of this protocol
    }
    reply = endpoint.core.Exchange(block.get(), block::kBlockSize, SimulatorCore::Clock::now());
  }
  if (!reply) {
    HangWithoutAnswering(endpoint);
  }
  if (endpoint.core.Finished()) {
    // The loop ends once this reply has been delivered.
    ::PostQuitMessage(0);
  }
  return static_cast<LRESULT>(*reply);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* endpoint = reinterpret_cast<Endpoint*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (endpoint != nullptr && endpoint->ipc_message != 0 && message == endpoint->ipc_message) {
    return Exchange(*endpoint, wparam);
  }
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

bool CreateReadyFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    std::fprintf(stderr, "quorvane-sim: cannot create %s\n", path.c_str());
    return false;
  }
  return std::fclose(file) == 0;
}

}  // namespace

int RunEndpoint(SimulatorCore& core) {
  const std::string& class_name = core.Options().class_name;
  if (::FindWindowExA(nullptr, nullptr, class_name.c_str(), nullptr) != nullptr) {
    std::fprintf(stderr, "quorvane-sim: a window of class \"%s\" is already answering\n",
                 class_name.c_str());
    return 1;
  }
  Endpoint endpoint{core};
  endpoint.ipc_message = ::RegisterWindowMessageA(block::kMessageName);
  if (endpoint.ipc_message == 0) {
    std::fprintf(stderr, "quorvane-sim: cannot register the message \"%s\" (error %lu)\n",
                 block::kMessageName, ::GetLastError());
    return 1;
  }

  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = class_name.c_str();
  if (::RegisterClassA(&window_class) == 0) {
    std::fprintf(stderr, "quorvane-sim: cannot register the window class \"%s\" (error %lu)\n",
                 class_name.c_str(), ::GetLastError());
    return 2;
  }
  // Hidden, as FSUIPC's window is: found by class, never shown.
  const HWND window = ::CreateWindowExA(0, class_name.c_str(), "quorvane-sim", WS_OVERLAPPED,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        nullptr, nullptr, instance, &endpoint);
  if (window == nullptr) {
    std::fprintf(stderr, "quorvane-sim: cannot create the server window (error %lu)\n",
                 ::GetLastError());
    return 1;
  }

  if (!core.Options().ready_file.empty() && !CreateReadyFile(core.Options().ready_file)) {
    ::DestroyWindow(window);
    return 1;
  }

  MSG message;
  BOOL got = 0;
  while ((got = ::GetMessageA(&message, nullptr, 0, 0)) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  if (::IsWindow(window)) {
    ::DestroyWindow(window);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace quorvane::sim
