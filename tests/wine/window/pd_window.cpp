// pd_window: looks at the program's window from outside, for scripts (scripts/run.sh).
//
//   pd_window wait [--filled] [<seconds>]   waits for the window to show (and its list to hold
//                                           a printer); prints its title and list
//   pd_window shot <png-path>               saves a picture of the window
//   pd_window close                         asks the window to close, as its close box does
//   pd_window dialog-font                   gives the prefix the dialog font the window tests
//                                           set for this locale's language (dialog_font.h)
//
// Exit code 0 on success; 1 when the window is missing or the step failed; 2 on bad usage.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "tests/wine/tools/console_text.h"
#include "tests/wine/tools/windows_path.h"
#include "tests/wine/window/app_process.h"
#include "tests/wine/window/dialog_font.h"
#include "tests/wine/window/remote_window.h"
#include "tests/wine/window/screenshot.h"

namespace {

using pdtest::WriteErr;
using pdtest::WriteOut;

constexpr wchar_t kUsage[] =
    L"usage: pd_window wait [--filled] [<seconds>]\n"
    L"       pd_window shot <png-path>\n"
    L"       pd_window close\n"
    L"       pd_window dialog-font\n";

HWND VisibleForm() {
  HWND form = FindWindowW(pdwin::kFormClass, nullptr);
  return form != nullptr && IsWindowVisible(form) ? form : nullptr;
}

int Wait(const std::vector<std::wstring>& args) {
  bool filled = false;
  DWORD seconds = 30;
  for (const std::wstring& arg : args) {
    if (arg == L"--filled") {
      filled = true;
    } else {
      wchar_t* end = nullptr;
      seconds = static_cast<DWORD>(std::wcstoul(arg.c_str(), &end, 10));
      if (end == nullptr || *end != L'\0' || seconds == 0) {
        WriteErr(kUsage);
        return 2;
      }
    }
  }
  HWND form = nullptr;
  const bool ready = pdwin::WaitUntil(
      [&] {
        form = VisibleForm();
        if (form == nullptr) return false;
        HWND list = pdwin::FindChild(form, L"ListBox");
        return !filled || (list != nullptr && SendMessageW(list, LB_GETCOUNT, 0, 0) > 0);
      },
      seconds * 1000, 50);
  if (!ready) {
    WriteErr(form == nullptr ? L"pd_window: no window showed\n"
                             : L"pd_window: the window's list stayed empty\n");
    return 1;
  }
  std::wstring text = L"window: " + pdwin::WindowText(form) + L"\n";
  for (const std::wstring& item : pdwin::ListItems(pdwin::FindChild(form, L"ListBox"))) {
    text += L"  " + item + L"\n";
  }
  WriteOut(text);
  return 0;
}

int Shot(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    WriteErr(kUsage);
    return 2;
  }
  HWND form = VisibleForm();
  if (form == nullptr) {
    WriteErr(L"pd_window: no window showing\n");
    return 1;
  }
  const std::wstring path = pdtest::ToWindowsPath(args[0]);
  if (path.empty()) {
    WriteErr(L"pd_window: cannot map the path \"" + args[0] + L"\"\n");
    return 1;
  }
  const HRESULT result = pdwin::SaveWindowPng(form, path);
  if (FAILED(result)) {
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lx", static_cast<unsigned long>(result));
    WriteErr(L"pd_window: could not save the picture: " + std::wstring(code) + L"\n");
    return 1;
  }
  return 0;
}

int Close() {
  HWND form = FindWindowW(pdwin::kFormClass, nullptr);
  if (form == nullptr) {
    WriteErr(L"pd_window: no window to close\n");
    return 1;
  }
  return PostMessageW(form, WM_CLOSE, 0, 0) ? 0 : 1;
}

}  // namespace

int main() {
  // Per-monitor aware, like the program: its window rectangle comes in real pixels.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  std::vector<std::wstring> args = pdtest::Arguments();
  if (args.empty()) {
    WriteErr(kUsage);
    return 2;
  }
  const std::wstring command = args.front();
  args.erase(args.begin());
  if (command == L"wait") return Wait(args);
  if (command == L"shot") return Shot(args);
  if (command == L"close" && args.empty()) return Close();
  if (command == L"dialog-font" && args.empty()) {
    if (const wchar_t* problem = pdwin::ModelDialogFont()) {
      WriteErr(L"pd_window: " + std::wstring(problem) + L"\n");
      return 1;
    }
    return 0;
  }
  WriteErr(kUsage);
  return 2;
}
