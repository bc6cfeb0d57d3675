#include "tests/wine/window/app_process.h"

#include "tests/wine/window/remote_window.h"

namespace pdwin {

AppProcess::AppProcess(const std::wstring& exe, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  if (!CreateProcessW(exe.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    start_error_ = GetLastError();
    return;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
}

AppProcess::~AppProcess() {
  if (Running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }
}

HWND AppProcess::WaitForWindow(DWORD timeout_ms) const {
  HWND form = nullptr;
  WaitUntil(
      [&] {
        form = FindProcessWindow(id_, kFormClass);
        return (form != nullptr && IsWindowVisible(form)) || !Running();
      },
      timeout_ms, 5);
  return form != nullptr && IsWindowVisible(form) ? form : nullptr;
}

bool AppProcess::WaitForExit(DWORD timeout_ms, DWORD* exit_code) const {
  if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_.get(), exit_code) != FALSE;
}

bool AppProcess::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, &value[0], size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace pdwin
