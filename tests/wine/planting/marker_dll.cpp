// Stands in for a DLL planted beside a program. Whichever process loads it, under whatever name,
// it leaves "<its own path>.loaded" beside itself with that process's exe path inside. It exports
// nothing and needs only kernel32, so it loads anywhere.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID /*reserved*/) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  constexpr DWORD kCapacity = 32768;
  static wchar_t marker[kCapacity];
  static wchar_t loader[kCapacity];
  const DWORD length = GetModuleFileNameW(self, marker, kCapacity - 8);
  if (length == 0 || length >= kCapacity - 8) return TRUE;
  lstrcatW(marker, L".loaded");
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  const DWORD loader_length = GetModuleFileNameW(nullptr, loader, kCapacity);
  DWORD written = 0;
  WriteFile(file, loader, loader_length * sizeof(wchar_t), &written, nullptr);
  CloseHandle(file);
  return TRUE;
}
