#include "bench/win/launch_bench.h"

#include "bench/win/clock.h"

#include <cstdio>

namespace bench {

namespace {

constexpr ULONGLONG kWindowTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 10000;

// A window of the target's class (of process `pid`, or of any when 0) that is visible and shows
// the expected number of items.
HWND ReadyWindow(const LaunchTarget& target, DWORD pid) {
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExW(nullptr, hwnd, target.window_class.c_str(), nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if ((pid != 0 && owner != pid) || !IsWindowVisible(hwnd)) continue;
    if (target.expected_items < 0) return hwnd;
    HWND list = FindWindowExW(hwnd, nullptr, L"ListBox", nullptr);
    if (list != nullptr && SendMessageW(list, LB_GETCOUNT, 0, 0) == target.expected_items) {
      return hwnd;
    }
  }
  return nullptr;
}

// Polls until the window is ready, the process (when given) ends, or the time is up.
HWND WaitReady(const LaunchTarget& target, DWORD pid, HANDLE process) {
  const ULONGLONG deadline = GetTickCount64() + kWindowTimeoutMs;
  while (GetTickCount64() < deadline) {
    if (HWND hwnd = ReadyWindow(target, pid)) return hwnd;
    if (process != nullptr) {
      if (WaitForSingleObject(process, 1) == WAIT_OBJECT_0) {
        std::fprintf(stderr, "%ls ended before its window was ready\n", target.exe.c_str());
        return nullptr;
      }
    } else {
      Sleep(1);
    }
  }
  std::fprintf(stderr, "%ls: no ready window within %llu ms\n", target.exe.c_str(),
               kWindowTimeoutMs);
  return nullptr;
}

// A started program, closed through its window (or ended) when this goes out of scope.
class Launched {
 public:
  Launched() = default;
  ~Launched() {
    if (process_.hProcess == nullptr) return;
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (window_ == nullptr || WaitForSingleObject(process_.hProcess, kExitTimeoutMs) != 0) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Launched(const Launched&) = delete;
  Launched& operator=(const Launched&) = delete;

  bool Start(const LaunchTarget& target) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + target.exe + L"\"";
    if (!CreateProcessW(target.exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process_)) {
      std::fprintf(stderr, "CreateProcess(%ls) failed: %lu\n", target.exe.c_str(), GetLastError());
      process_ = PROCESS_INFORMATION{};
      return false;
    }
    return true;
  }
  bool WaitReady(const LaunchTarget& target) {
    window_ = bench::WaitReady(target, process_.dwProcessId, process_.hProcess);
    return window_ != nullptr;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

}  // namespace

bool TimeStartup(const LaunchTarget& target, double* ms) {
  Launched launched;
  const double start = NowMs();
  if (!launched.Start(target) || !launched.WaitReady(target)) return false;
  *ms = NowMs() - start;
  return true;
}

bool WaitForReadyWindow(const LaunchTarget& target) {
  return WaitReady(target, 0, nullptr) != nullptr;
}

void CloseWindows(const std::wstring& window_class) {
  HWND hwnd = nullptr;
  while ((hwnd = FindWindowExW(nullptr, hwnd, window_class.c_str(), nullptr)) != nullptr) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
}

}  // namespace bench
