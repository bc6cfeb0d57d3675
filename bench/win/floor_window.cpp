// The start-up floor: the least a Win32 program does to show a window - register a class,
// create one empty window, show it and run the message loop. Built a second time with
// PD_FLOOR_WITH_SPOOLER, it first loads the common controls and makes the two enumeration calls
// the tool needs before its window shows, to tell the cost of those from the tool's own.
#include <windows.h>
#ifdef PD_FLOOR_WITH_SPOOLER
#include <commctrl.h>
#include <winspool.h>

#include <vector>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int show) {
#ifdef PD_FLOOR_WITH_SPOOLER
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed);
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned);
#endif
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"PdFloorWindow";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, L"PdFloorWindow", L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;
  ShowWindow(hwnd, show);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
