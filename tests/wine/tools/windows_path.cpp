#include "tests/wine/tools/windows_path.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "tests/wine/tools/console_text.h"

namespace pdtest {

namespace {

// Wine's kernel32 maps Unix paths to DOS ones; Windows has no such export.
using WineDosFileNameFn = LPWSTR(CDECL*)(LPCSTR);

std::wstring FromUnixPath(const std::wstring& path) {
  auto to_dos = reinterpret_cast<WineDosFileNameFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (to_dos == nullptr) return {};
  LPWSTR dos = to_dos(ToUtf8(path).c_str());
  if (dos == nullptr) return {};
  std::wstring result = dos;
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

}  // namespace

std::wstring ToWindowsPath(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring windows = path;
  if (path[0] == L'/') {
    windows = FromUnixPath(path);
    if (windows.empty()) return {};
  }
  const DWORD size = GetFullPathNameW(windows.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(windows.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return {};
  full.resize(length);
  return full;
}

}  // namespace pdtest
