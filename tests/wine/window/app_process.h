// The program under test, started as a process of its own and ended with the test.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>

namespace pdwin {

struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The class of the program's main window.
constexpr wchar_t kFormClass[] = L"TorlentForm";

class AppProcess {
 public:
  // Starts `exe` (a Windows path) with `arguments`. It inherits this process's environment, and
  // with it the locale a test run chose.
  explicit AppProcess(const std::wstring& exe, const std::wstring& arguments = {});
  // Ends a process that is still running, so that no test leaves a window behind.
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  // Why it did not start.
  DWORD start_error() const { return start_error_; }
  DWORD id() const { return id_; }

  // The main window once it is visible; null when it does not show within `timeout_ms` or the
  // process ends first.
  HWND WaitForWindow(DWORD timeout_ms) const;
  // True, with the exit code, once the process has ended; false when it still runs after
  // `timeout_ms`.
  bool WaitForExit(DWORD timeout_ms, DWORD* exit_code) const;
  bool Running() const;

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
  DWORD start_error_ = ERROR_SUCCESS;
};

// Polls `condition` until it holds or `timeout_ms` pass; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeout_ms, DWORD poll_ms = 10) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (condition()) return true;
    Sleep(poll_ms);
  }
  return condition();
}

// An environment variable of this process, empty when unset.
std::wstring EnvironmentValue(const wchar_t* name);

}  // namespace pdwin
